// What the user reads on the panel itself: the search line, and the keys keyboard mode could not
// have.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/message_titles.h"

namespace replybar::texts {

inline constexpr wchar_t kSearchLine[] = L"搜索：";
inline constexpr wchar_t kSearchFoundNothing[] = L"　（没有找到）";
inline constexpr wchar_t kSearchKeysHint[] = L"Backspace 删除 · Esc 清除";
// The line at the panel's top in keyboard mode when another program holds some of its keys:
// those keys do nothing here, and without every letter there is no search.
inline std::wstring panelKeysHeldElsewhere(const std::vector<std::wstring>& keys, bool noSearch) {
    constexpr std::size_t kNamed = 5;
    std::wstring list;
    for (std::size_t i = 0; i < keys.size() && i < kNamed; ++i)
        list += (i ? L"、" : L"") + keys[i];
    if (keys.size() > kNamed) list += L" 等";
    return L"按键 " + list + L" 被另一个程序占用" + (noSearch ? L"，不能搜索" : L"");
}

// Without Esc or Enter there is no keyboard mode: under kMessageTitle.
inline constexpr wchar_t kPanelKeysTakenText[] =
    L"Esc 或 Enter 键正被另一个程序用作快捷键，快捷回复条无法用键盘选择回复。\n"
    L"请用鼠标点选回复。";

}  // namespace replybar::texts
