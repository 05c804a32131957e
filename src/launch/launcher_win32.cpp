#include "launch/launcher_win32.h"

#include <windows.h>

#include <map>

#include "launch/icon_convert_win32.h"
#include "launch/launch_map.h"
#include "launch/shell_icon_win32.h"

namespace replybar::launch {

LaunchListing listLaunchFolder(const std::wstring& folder, std::size_t limit) {
    LaunchListing listing;
    // An empty setting would list the working folder: it lists nothing.
    if (folder.empty()) return listing;
    const DWORD attributes = ::GetFileAttributesW(launchPath(folder, L"").c_str());
    listing.folderFound =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    std::vector<std::wstring>& names = listing.names;
    WIN32_FIND_DATAW found{};
    const HANDLE find =
        ::FindFirstFileExW(launchPath(folder, L"*.*").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return listing;  // no folder, no drive: nothing to list
    constexpr DWORD kSkipped =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (found.dwFileAttributes & kSkipped) continue;
        names.emplace_back(found.cFileName);
    } while (names.size() < limit && ::FindNextFileW(find, &found));
    ::FindClose(find);
    return listing;
}

void buildLauncherMenu(const LauncherContext& context, std::unique_ptr<menu::cMenu>& launcherMenu) {
    BarState& state = *context.host.state;
    // The file names and one empty name that ends the list; more than 150 are never processed.
    LaunchListing listing = listLaunchFolder(state.launchFolder, kMaxLaunchEntries);
    std::vector<std::wstring>& entries = listing.names;
    entries.emplace_back();
    state.launchMap.clear();

    // The old object first: its teardown destroys the one shared popup menu.
    launcherMenu.reset();
    launcherMenu = std::make_unique<menu::cMenu>(context.host);
    launcherMenu->CreateMenu();

    IconCanvases canvases;
    canvases.messages = context.messages;
    // Entries with the same shell icon get the same picture: it is converted once per build
    // and shared, the items together owning it.
    std::map<int, menu::PicturePtr> converted;
    try {
        long long n = 0;
        for (const std::wstring& name : entries) {
            if (++n > kMaxLaunchEntries) {
                // Close the map so that the 150th item resolves like every other one.
                appendLaunchEntry(state.launchMap, n, L"");
                return;  // preset 0 stays
            }
            const std::wstring caption = launcherCaption(name);
            state.scratchText = caption;
            appendLaunchEntry(state.launchMap, n, name);

            const ShellIcon icon = shellIconOf(launchPath(state.launchFolder, name));
            const auto known = converted.find(icon.index);
            if (icon.list && known != converted.end()) {
                canvases.picture22 = known->second;
            } else {
                drawShellIcon(canvases.picture1, icon);
                enlargeIcon(canvases.picture1, canvases.picture11);
                convertPictureToIcon(canvases);
                if (icon.list) converted.emplace(icon.index, canvases.picture22);
            }

            if (!isBlankCaption(caption))
                launcherMenu->AddItem(L"open" + std::to_wstring(n), canvases.picture22, caption,
                                      menu::kTypeString, 0);
        }
        if (launcherMenu->items().recordCount() == 0)
            launcherMenu->AddItem(L"nothing",
                                  nullptr,
                                  state.launchFolder.empty() || listing.folderFound
                                      ? kEmptyMenuText
                                      : kMissingFolderText,
                                  menu::kTypeString, menu::kStateDisabled);
        launcherMenu->Style(1);
    } catch (const std::exception&) {
        // Aliases carry their entry number and cannot clash; out of memory leaves what was built.
    }
}

}  // namespace replybar::launch
