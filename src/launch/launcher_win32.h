// Lists the launch folder into a new launcher menu, one item per file with
// its shell icon, and writes the launch map that the menu's command dispatch reads.
//
// The build has two halves. gatherLauncherContent does the slow part (listing the folder, which
// may be on a network drive that does not answer, and fetching the shell icons) and may run on
// any thread; fillLauncherMenu makes the menu from its result and runs on the bar's thread,
// which owns the menu.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ports.h"
#include "controls/owner_drawn_menu_win32.h"
#include "launch/own_icon_win32.h"
#include "win/handles.h"

namespace replybar::launch {

constexpr int kMaxLaunchEntries = 150;

struct LauncherContext {
    menu::MenuHost host;            // host.entries receives the folder and map of each fill
    IMessages* messages = nullptr;  // the icon conversion's one failure box; may be null
};

// Normal files of `folder`, in file-system order, at most `limit` names. Directories, hidden
// and system files are left out; an empty folder setting or a listing that fails gives no names.
struct LaunchListing {
    std::vector<std::wstring> names;
    bool folderFound = false;
};
LaunchListing listLaunchFolder(const std::wstring& folder, std::size_t limit);
using FolderLister = std::function<LaunchListing(const std::wstring& folder, std::size_t limit)>;

// What a build found in the launch folder, ready to become menu items.
struct LauncherContent {
    std::wstring folder;  // the launchFolder it lists
    LaunchListing listing;
    std::vector<int> iconOf;              // per listed name: its place in `icons`, or -1
    std::vector<win::UniqueIcon> icons;   // each distinct icon converted once
    bool answered = true;                 // false: the folder did not answer in time
    bool maskFailed = false;              // the conversion's mask step failed at least once
};

// Lists `folder` and converts the icon of every entry: its own (a program's, a shortcut's) where
// it can be read within the reading's budget, else its type's. Safe on a worker thread that has
// COM initialised: it makes no window, menu or picture object. Never throws.
LauncherContent gatherLauncherContent(const std::wstring& folder, const FolderLister& lister,
                                      const OwnIconReading& reading = {});

// What stands in for a folder that does not answer: no names, shown as a missing folder.
LauncherContent unansweredLauncherContent(const std::wstring& folder);

// Rebuilds `launcherMenu` from `content`: the old menu object is destroyed first, then a new one
// is made and filled, and the host's entries are written. At most 150 entries; a build that reaches the
// cap closes the map with an empty entry 151 and keeps preset 0, any other build ends with
// preset 1. A menu with no item gets one grey, disabled item that says why. Never throws.
void fillLauncherMenu(const LauncherContext& context, LauncherContent content,
                      std::unique_ptr<menu::OwnerDrawnMenu>& launcherMenu);

// Both halves in a row, on the calling thread, for the folder the host's entries name.
void buildLauncherMenu(const LauncherContext& context, std::unique_ptr<menu::OwnerDrawnMenu>& launcherMenu);

}  // namespace replybar::launch
