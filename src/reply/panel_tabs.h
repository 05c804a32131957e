// The row of group tabs at the top of the reply panel, shown while a team library is in use:
// "我的" (the user's own replies) first, then the team's groups in the file's order, and for a
// group of more replies than the panel's rows the page buttons. Laid out in panel pixels, left
// to right, wrapping onto further lines when they do not fit the panel's width.
#pragma once

#include <string>
#include <vector>

#include "core/geometry.h"

namespace replybar {

inline constexpr wchar_t kOwnGroupName[] = L"我的";
inline constexpr int kTabLineHeightPx = 22;  // one line of tabs
inline constexpr int kTabTextPaddingPx = 8;  // either side of a tab's caption

struct PanelTab {
    enum Kind { Group, PreviousPage, PageNumber, NextPage } kind = Group;
    int index = 0;         // Group: 0 for "我的", n for the team's group n - 1
    std::wstring caption;  // what the tab shows
    PxRect rect;           // panel pixels, the strip's top-left at 0, 0
};

struct PanelTabs {
    std::vector<PanelTab> tabs;
    int lines = 0;  // lines of tabs; the strip is lines * kTabLineHeightPx high
    int heightPx() const { return lines * kTabLineHeightPx; }
};

// An estimate of a caption's width in the panel's font: a wide (CJK, full-width) character
// takes 12 pixels, any other 7. Long group names are cut to 8 characters and "…".
int captionWidthPx(const std::wstring& caption);
std::wstring tabCaption(const std::wstring& groupName);

// The tabs for `groupNames` (the team's, without "我的") in a strip `widthPx` wide; `page` of
// `pages` (from 0) of the group shown adds the page buttons when there is more than one page.
PanelTabs layoutPanelTabs(const std::vector<std::wstring>& groupNames, int widthPx, int page,
                          int pages);

// The tab under a point of the strip, or nullptr.
const PanelTab* tabAt(const PanelTabs& tabs, int x, int y);

}  // namespace replybar
