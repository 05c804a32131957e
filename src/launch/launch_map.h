// Captions of the launcher menu's items and the launch map that ties entry numbers to file names:
// "*" + n + "*" + file name per listed entry, n counted from 1, and one "*" + n + "*" with no
// name after the last file (unless the build stopped at its cap).
#pragma once

#include <optional>
#include <string>

namespace replybar::launch {

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

void appendLaunchEntry(std::wstring& map, long long n, const std::wstring& name);

// The file name of entry n: the text after its marker up to the next marker, or to the end of
// the map when the build stopped before closing it. nullopt when the map has no entry n.
std::optional<std::wstring> resolveLaunchEntry(const std::wstring& map, long long entryNumber);

// The entry number carried by a launcher item's alias, "open" + decimal digits.
std::optional<long long> entryNumberFromAlias(const std::wstring& alias);

// The entry a chosen launcher item opens: the number in its alias, which stays right when an
// entry with a blank caption got no item; items of other menus fall back to id + 1.
long long launchEntryForItem(long long itemId, const std::wstring& alias);

}  // namespace replybar::launch
