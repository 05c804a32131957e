// Command1 "生成菜单": lists the launch folder into a new launcher menu, one item per file with
// its shell icon, and writes the launch map that the menu's command dispatch reads.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/ports.h"
#include "controls/cmenu_win32.h"

namespace replybar::launch {

constexpr int kMaxLaunchEntries = 150;

struct LauncherContext {
    menu::MenuHost host;  // host.state holds launchFolder and receives launchMap and scratchText
    IMessages* messages = nullptr;  // the icon conversion's one failure box; may be null
};

// Normal files of `folder`, in file-system order, at most `limit` names. Directories, hidden
// and system files are left out; an empty folder setting or a listing that fails gives no names.
struct LaunchListing {
    std::vector<std::wstring> names;
    bool folderFound = false;
};
LaunchListing listLaunchFolder(const std::wstring& folder, std::size_t limit);

// Rebuilds `launcherMenu`: the old menu object is destroyed first, then a new one is made and
// filled. At most 150 entries; a build that reaches the cap closes the map with the marker of
// entry 151 and keeps preset 0, any other build ends with preset 1. A menu with no item gets one
// grey, disabled item that says why. Never throws.
void buildLauncherMenu(const LauncherContext& context, std::unique_ptr<menu::cMenu>& launcherMenu);

}  // namespace replybar::launch
