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

LauncherContent gatherLauncherContent(const std::wstring& folder, const FolderLister& lister) {
    LauncherContent content;
    content.folder = folder;
    try {
        content.listing = lister(folder, kMaxLaunchEntries);
        IconCanvases canvases(shellIconSize());
        // Entries with the same shell icon share one converted icon.
        std::map<int, int> converted;  // system image list index → place in content.icons
        for (const std::wstring& name : content.listing.names) {
            const ShellIcon icon = shellIconOf(launchPath(folder, name));
            if (const auto known = converted.find(icon.index); icon.list && known != converted.end()) {
                content.iconOf.push_back(known->second);
                continue;
            }
            drawShellIcon(canvases.smallIcon, icon);
            enlargeIcon(canvases.smallIcon, canvases.enlargedIcon);
            win::UniqueIcon made{convertToIcon(canvases)};
            int place = -1;
            if (made) {
                place = static_cast<int>(content.icons.size());
                content.icons.push_back(std::move(made));
                if (icon.list) converted.emplace(icon.index, place);
            }
            content.iconOf.push_back(place);
        }
        content.maskFailed = canvases.maskFailed;
    } catch (const std::exception&) {
        // Out of memory: the entries without an icon so far get none.
    }
    content.iconOf.resize(content.listing.names.size(), -1);
    return content;
}

LauncherContent unansweredLauncherContent(const std::wstring& folder) {
    LauncherContent content;
    content.folder = folder;
    content.answered = false;
    return content;
}

void fillLauncherMenu(const LauncherContext& context, LauncherContent content,
                      std::unique_ptr<menu::OwnerDrawnMenu>& launcherMenu) {
    BarState& state = *context.host.state;
    // The file names and one empty name that ends the list; more than 150 are never processed.
    std::vector<std::wstring>& entries = content.listing.names;
    entries.emplace_back();
    state.launchMap.clear();

    // The old object first: its teardown destroys the one shared popup menu.
    launcherMenu.reset();
    launcherMenu = std::make_unique<menu::OwnerDrawnMenu>(context.host);
    launcherMenu->CreateMenu();

    if (content.maskFailed && context.messages)
        context.messages->show(kIconMaskFailedMessage, L"快捷回复条", MessageKind::Info);
    // Icons shared by several entries become one picture object, the items together owning it.
    std::vector<menu::PicturePtr> pictures(content.icons.size());
    for (std::size_t i = 0; i < content.icons.size(); ++i)
        pictures[i] = menu::OlePicture::fromIcon(content.icons[i].release());
    try {
        long long n = 0;
        for (const std::wstring& name : entries) {
            if (++n > kMaxLaunchEntries) {
                // Entry 151 closes the map, as the empty name does after a shorter list.
                state.launchMap.emplace_back();
                return;  // preset 0 stays
            }
            const std::wstring caption = launcherCaption(name);
            state.launchMap.push_back(name);
            const std::size_t index = static_cast<std::size_t>(n - 1);
            const int place = index < content.iconOf.size() ? content.iconOf[index] : -1;
            if (!isBlankCaption(caption))
                launcherMenu->AddItem(L"open" + std::to_wstring(n),
                                      place >= 0 ? pictures[static_cast<std::size_t>(place)] : nullptr,
                                      caption, menu::kTypeString, 0);
        }
        if (launcherMenu->items().recordCount() == 0)
            launcherMenu->AddItem(L"nothing", nullptr,
                                  state.launchFolder.empty() ||
                                          (content.answered && content.listing.folderFound)
                                      ? kEmptyMenuText
                                      : kMissingFolderText,
                                  menu::kTypeString, menu::kStateDisabled);
        launcherMenu->Style(1);
    } catch (const std::exception&) {
        // Aliases carry their entry number and cannot clash; out of memory leaves what was built.
    }
}

void buildLauncherMenu(const LauncherContext& context, std::unique_ptr<menu::OwnerDrawnMenu>& launcherMenu) {
    fillLauncherMenu(context, gatherLauncherContent(context.host.state->launchFolder, listLaunchFolder),
                     launcherMenu);
}

}  // namespace replybar::launch
