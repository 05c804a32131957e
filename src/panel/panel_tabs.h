// The row of group tabs at the top of the reply panel, shown while a team library is in use:
// "我的" (the user's own replies) first, then the team's groups in the file's order, and for a
// group of more replies than the panel's rows the page buttons. Laid out in panel pixels, left
// to right, wrapping onto further lines when they do not fit the panel's width.
//
// The strip never grows past kMaxTabLines lines, whatever the number of groups: a library of a
// hundred groups would otherwise push the panel off the screen. When they do not all fit, the
// groups are dealt into runs that each fit ("我的" leads every run), the run holding the group
// shown is the one on screen, and « » go to the runs before and after it.
#pragma once

#include <string>
#include <vector>

#include "core/geometry.h"

namespace replybar {

inline constexpr wchar_t kOwnGroupName[] = L"我的";
// A team group that happens to be called "我的" (a lead who started from an export) is shown so.
inline constexpr wchar_t kTeamOwnNamedCaption[] = L"我的（团队）";
inline constexpr int kTabLineHeightPx = 22;  // one line of tabs
inline constexpr int kTabTextPaddingPx = 8;  // either side of a tab's caption
inline constexpr int kMaxTabLines = 3;

struct PanelTab {
    enum Kind { Group, PreviousPage, PageNumber, NextPage, EarlierGroups, LaterGroups };
    Kind kind = Group;
    // Group, EarlierGroups, LaterGroups: the group shown by a click, 0 for "我的", n for the
    // team's group n - 1.
    int index = 0;
    std::wstring caption;   // what the tab shows
    std::wstring fullName;  // the group's whole name when the caption shows less; else ""
    PxRect rect;            // panel pixels, the strip's top-left at 0, 0
};

struct PanelTabs {
    std::vector<PanelTab> tabs;
    int lines = 0;  // lines of tabs; the strip is lines * kTabLineHeightPx high
    int heightPx() const { return lines * kTabLineHeightPx; }
};

// An estimate of a caption's width in the panel's font: a wide (CJK, full-width) character
// takes 12 pixels, any other 7.
int captionWidthPx(const std::wstring& caption);
// The captions of the team's groups: a name of up to 8 characters as it is, a longer one cut
// in the middle ("售前常…第01组"), since names of a series differ at their end. Captions are
// told apart: where two cuts would read the same, more of each name shows.
std::vector<std::wstring> tabCaptions(const std::vector<std::wstring>& groupNames);

// The tabs for `groupNames` (the team's, without "我的") in a strip `widthPx` wide, for the
// group `shownGroup` (0 for "我的"); `page` of `pages` (from 0) of that group adds the page
// buttons when there is more than one page.
PanelTabs layoutPanelTabs(const std::vector<std::wstring>& groupNames, int widthPx, int page,
                          int pages, int shownGroup = 0);

// The tab under a point of the strip, or nullptr.
const PanelTab* tabAt(const PanelTabs& tabs, int x, int y);

}  // namespace replybar
