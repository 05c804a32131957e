// Captions of the launcher menu's items and the launch map that ties entry numbers to file names.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace replybar::launch {

// The file names of the launch folder's entries, entry n (counted from 1) at n - 1, closed by one
// empty name after the last file (also when the build stopped at its cap of 150, as entry 151).
using LaunchMap = std::vector<std::wstring>;

// What the launcher menu's items open: the folder it lists and its map. Owned by the bar's
// launcher menu, written by each fill of the menu, read by the menu's commands.
struct LaunchEntries {
    std::wstring folder;  // ends with "\" as the user set it
    LaunchMap map;
};

// The path of a name in the launch folder: exactly one backslash between the folder, as the user
// typed it, and the name.
std::wstring launchPath(const std::wstring& folder, const std::wstring& name);

// The one grey item of a menu that has nothing to offer, so the button never looks dead.
inline constexpr wchar_t kEmptyMenuText[] = L"（空）";
inline constexpr wchar_t kMissingFolderText[] = L"（找不到文件夹）";

// Shortcut-like names (".lnk", ".url", ".scf" in upper or lower case, anywhere in the name) lose
// their last extension; any other name is shown as it is.
std::wstring launcherCaption(const std::wstring& fileName);

// A caption of nothing but spaces gets no menu item.
bool isBlankCaption(const std::wstring& caption);

// The file name of entry n (counted from 1); "" for the entry that closes the list. nullopt when
// the map has no entry n.
std::optional<std::wstring> resolveLaunchEntry(const LaunchMap& map, long long entryNumber);

// The entry a chosen menu item opens: the entry number the launcher build gave it as its item
// data, which stays right when an entry with a blank caption got no item; an item without one
// (data 0) falls back to id + 1.
long long launchEntryForItem(long long itemId, long long itemData);

}  // namespace replybar::launch
