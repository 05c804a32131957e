#include "launch/launcher_win32.h"

#include <windows.h>

#include <map>

#include "core/message_titles.h"
#include "launch/icon_convert_win32.h"
#include "controls/launch_map.h"
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

namespace {

// Converts each distinct icon of a build once: entries of one type icon (system image list index)
// share its picture, and so do entries whose own icon comes from the same file and index.
class IconConversions {
public:
    explicit IconConversions(LauncherContent& content) : content_(content) {}

    int place(EntryIcon& entry) {
        if (entry.own) {
            if (const auto known = byOwn_.find(entry.ownSource); known != byOwn_.end())
                return known->second;
            drawIcon(canvases_.smallIcon, entry.own.get());
            const int made = convert();
            if (made >= 0) byOwn_.emplace(entry.ownSource, made);
            return made;
        }
        const ShellIcon icon = shellIconOf(entry.typeName, entry.typeAttributes);
        if (const auto known = byType_.find(icon.index); icon.list && known != byType_.end())
            return known->second;
        drawShellIcon(canvases_.smallIcon, icon);
        const int made = convert();
        if (made >= 0 && icon.list) byType_.emplace(icon.index, made);
        return made;
    }
    bool maskFailed() const { return canvases_.maskFailed; }

private:
    // The small canvas as drawn → its place in content.icons, or -1.
    int convert() {
        enlargeIcon(canvases_.smallIcon, canvases_.enlargedIcon);
        win::UniqueIcon made{convertToIcon(canvases_)};
        if (!made) return -1;
        content_.icons.push_back(std::move(made));
        return static_cast<int>(content_.icons.size()) - 1;
    }

    LauncherContent& content_;
    IconCanvases canvases_{shellIconSize()};
    std::map<int, int> byType_;              // system image list index → place
    std::map<std::wstring, int> byOwn_;      // own icon's file and index → place
};

}  // namespace

LauncherContent gatherLauncherContent(const std::wstring& folder, const FolderLister& lister,
                                      const OwnIconReading& reading) {
    LauncherContent content;
    content.folder = folder;
    try {
        content.listing = lister(folder, kMaxLaunchEntries);
        std::vector<std::wstring> paths;
        for (const std::wstring& name : content.listing.names)
            paths.push_back(launchPath(folder, name));
        std::vector<EntryIcon> entries = readEntryIcons(paths, reading);
        IconConversions conversions(content);
        for (EntryIcon& entry : entries) {
            content.iconOf.push_back(conversions.place(entry));
            entry.own.reset();  // converted: the read icon is done with
        }
        content.maskFailed = conversions.maskFailed();
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
    LaunchEntries& launch = *context.host.entries;
    // The file names and one empty name that ends the list; more than 150 are never processed.
    std::vector<std::wstring>& entries = content.listing.names;
    entries.emplace_back();
    launch.folder = content.folder;
    launch.map.clear();

    // The old object first: its teardown destroys the one shared popup menu.
    launcherMenu.reset();
    launcherMenu = std::make_unique<menu::OwnerDrawnMenu>(context.host);
    launcherMenu->CreateMenu();

    if (content.maskFailed && context.messages)
        context.messages->show(kIconMaskFailedMessage, texts::kMessageTitle, MessageKind::Info);
    // Icons shared by several entries become one picture object, the items together owning it.
    std::vector<menu::PicturePtr> pictures(content.icons.size());
    for (std::size_t i = 0; i < content.icons.size(); ++i)
        pictures[i] = menu::OlePicture::fromIcon(content.icons[i].release());
    try {
        long long n = 0;
        for (const std::wstring& name : entries) {
            if (++n > kMaxLaunchEntries) {
                // Entry 151 closes the map, as the empty name does after a shorter list.
                launch.map.emplace_back();
                return;  // preset 0 stays
            }
            const std::wstring caption = launcherCaption(name);
            launch.map.push_back(name);
            const std::size_t index = static_cast<std::size_t>(n - 1);
            const int place = index < content.iconOf.size() ? content.iconOf[index] : -1;
            if (!isBlankCaption(caption))
                launcherMenu->AddItem(L"open" + std::to_wstring(n),
                                      place >= 0 ? pictures[static_cast<std::size_t>(place)] : nullptr,
                                      caption, menu::kTypeString, 0, n);
        }
        if (launcherMenu->items().recordCount() == 0)
            launcherMenu->AddItem(L"nothing", nullptr,
                                  launch.folder.empty() ||
                                          (content.answered && content.listing.folderFound)
                                      ? kEmptyMenuText
                                      : kMissingFolderText,
                                  menu::kTypeString, menu::kStateDisabled);
        launcherMenu->Style(1);
    } catch (const std::exception&) {
        // Aliases are "open" and the entry number, which cannot clash; out of memory leaves what
        // was built.
    }
}

void buildLauncherMenu(const LauncherContext& context, std::unique_ptr<menu::OwnerDrawnMenu>& launcherMenu) {
    fillLauncherMenu(context, gatherLauncherContent(context.host.entries->folder, listLaunchFolder),
                     launcherMenu);
}

}  // namespace replybar::launch
