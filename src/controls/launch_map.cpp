#include "controls/launch_map.h"

#include <array>
#include <string_view>

namespace replybar::launch {

std::wstring launcherCaption(const std::wstring& fileName) {
    static constexpr std::array<std::wstring_view, 6> kShortcutTexts = {L".URL", L".LNK", L".SCF",
                                                                        L".scf", L".url", L".lnk"};
    const std::size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring::npos) return fileName;
    for (const std::wstring_view text : kShortcutTexts)
        if (fileName.find(text) != std::wstring::npos) return fileName.substr(0, dot);
    return fileName;
}

std::wstring launchPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder + name;
    return folder + L'\\' + name;
}

bool isBlankCaption(const std::wstring& caption) {
    return caption.find_first_not_of(L' ') == std::wstring::npos;
}

std::optional<std::wstring> resolveLaunchEntry(const LaunchMap& map, long long entryNumber) {
    if (entryNumber < 1 || static_cast<unsigned long long>(entryNumber) > map.size())
        return std::nullopt;
    return map[static_cast<std::size_t>(entryNumber - 1)];
}

long long launchEntryForItem(long long itemId, long long itemData) {
    return itemData != 0 ? itemData : itemId + 1;
}

}  // namespace replybar::launch
