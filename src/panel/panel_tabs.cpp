#include "panel/panel_tabs.h"

#include <algorithm>
#include <map>

namespace replybar {
namespace {

constexpr std::size_t kLongestCaption = 8;
// A long name shows this much of its start and of its end at first.
constexpr std::size_t kHeadShown = 3, kTailShown = 4;
constexpr wchar_t kCut[] = L"…";

bool isWide(wchar_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0xD800 && c <= 0xDBFF);
}

bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::wstring oneLine(const std::wstring& name) {
    std::wstring out;
    for (wchar_t c : name) out.push_back(c == L'\r' || c == L'\n' || c == L'\t' ? L' ' : c);
    return out;
}

// `head` characters, "…", `tail` characters; never half of a surrogate pair.
std::wstring cutInTheMiddle(const std::wstring& s, std::size_t head, std::size_t tail) {
    if (head + tail + 1 >= s.size()) return s;
    if (head > 0 && isLowSurrogate(s[head])) ++head;
    std::size_t tailStart = s.size() - tail;
    if (isLowSurrogate(s[tailStart])) --tailStart;
    if (head >= tailStart) return s;
    return s.substr(0, head) + kCut + s.substr(tailStart);
}

int tabWidthPx(const std::wstring& caption) {
    return captionWidthPx(caption) + 2 * kTabTextPaddingPx;
}

// How many lines tabs of these widths take in a strip `widthPx` wide, wrapping as the layout
// does.
int linesFor(const std::vector<int>& widths, int widthPx) {
    int x = 0, lines = 1;
    for (const int w : widths) {
        if (x > 0 && x + w > widthPx) {
            x = 0;
            ++lines;
        }
        x += w;
    }
    return lines;
}

struct Run {
    int first, end;  // the team groups first .. end - 1, numbered from 1 as the tabs' index
};

// The groups dealt into runs that fit the strip's lines together with "我的" and `reserve`
// pixels for the buttons at its end.
std::vector<Run> runsOf(const std::vector<int>& groupWidths, int widthPx, int reserve) {
    const int n = static_cast<int>(groupWidths.size());
    const int own = tabWidthPx(kOwnGroupName);
    const auto fits = [&](int first, int end) {
        std::vector<int> widths{own};
        widths.insert(widths.end(), groupWidths.begin() + (first - 1),
                      groupWidths.begin() + (end - 1));
        widths.push_back(reserve);
        return linesFor(widths, widthPx) <= kMaxTabLines;
    };
    std::vector<Run> runs;
    for (int first = 1; first <= n;) {
        int end = first + 1;  // at least one group a run, however long its name
        while (end <= n && fits(first, end + 1)) ++end;
        runs.push_back({first, end});
        first = end;
    }
    return runs;
}

}  // namespace

int captionWidthPx(const std::wstring& caption) {
    int width = 0;
    for (wchar_t c : caption) {
        if (isLowSurrogate(c)) continue;  // the second half of a pair counts nothing
        width += isWide(c) ? 12 : 7;
    }
    return width;
}

std::vector<std::wstring> tabCaptions(const std::vector<std::wstring>& groupNames) {
    const std::size_t n = groupNames.size();
    std::vector<std::wstring> names(n), captions(n);
    std::vector<std::size_t> head(n, kHeadShown), tail(n, kTailShown);
    for (std::size_t i = 0; i < n; ++i) {
        names[i] = oneLine(groupNames[i]);
        if (names[i] == kOwnGroupName) names[i] = kTeamOwnNamedCaption;
    }
    // Captions that read the same show more of their names, until each is told apart or whole.
    for (bool again = true; again;) {
        again = false;
        std::map<std::wstring, std::vector<std::size_t>> readers;
        for (std::size_t i = 0; i < n; ++i) {
            captions[i] = names[i].size() <= kLongestCaption
                              ? names[i]
                              : cutInTheMiddle(names[i], head[i], tail[i]);
            readers[captions[i]].push_back(i);
        }
        for (const auto& [caption, same] : readers) {
            if (same.size() < 2) continue;
            for (const std::size_t i : same) {
                if (captions[i] == names[i]) continue;  // whole already
                tail[i] += 2;
                head[i] += 1;
                again = true;
            }
        }
    }
    return captions;
}

PanelTabs layoutPanelTabs(const std::vector<std::wstring>& groupNames, int widthPx, int page,
                          int pages, int shownGroup) {
    const std::vector<std::wstring> captions = tabCaptions(groupNames);
    std::vector<int> widths;
    for (const std::wstring& c : captions) widths.push_back(tabWidthPx(c));
    // Room for the page buttons whichever group is shown, so that the runs stay the same as the
    // user goes from group to group.
    const int pagerRoom = tabWidthPx(L"‹") + tabWidthPx(L"99/99") + tabWidthPx(L"›");
    std::vector<Run> runs = runsOf(widths, widthPx, pagerRoom);
    if (runs.size() > 1)
        runs = runsOf(widths, widthPx, pagerRoom + tabWidthPx(L"«") + tabWidthPx(L"»"));
    if (runs.empty()) runs.push_back({1, 1});
    std::size_t shown = 0;
    for (std::size_t r = 0; r < runs.size(); ++r)
        if (shownGroup >= runs[r].first && shownGroup < runs[r].end) shown = r;

    std::vector<PanelTab> tabs;
    tabs.push_back({PanelTab::Group, 0, kOwnGroupName, L"", {}});
    for (int g = runs[shown].first; g < runs[shown].end; ++g) {
        const std::wstring& name = groupNames[static_cast<std::size_t>(g - 1)];
        const std::wstring& caption = captions[static_cast<std::size_t>(g - 1)];
        const bool whole = caption == oneLine(name) || caption == kTeamOwnNamedCaption;
        tabs.push_back({PanelTab::Group, g, caption, whole ? L"" : name, {}});
    }
    if (runs.size() > 1) {
        const std::size_t before = (shown + runs.size() - 1) % runs.size();
        const std::size_t after = (shown + 1) % runs.size();
        tabs.push_back({PanelTab::EarlierGroups, runs[before].first, L"«", L"", {}});
        tabs.push_back({PanelTab::LaterGroups, runs[after].first, L"»", L"", {}});
    }
    if (pages > 1) {
        tabs.push_back({PanelTab::PreviousPage, 0, L"‹", L"", {}});
        tabs.push_back({PanelTab::PageNumber, 0,
                        std::to_wstring(page + 1) + L"/" + std::to_wstring(pages), L"", {}});
        tabs.push_back({PanelTab::NextPage, 0, L"›", L"", {}});
    }
    PanelTabs out;
    int x = 0, line = 0;
    for (PanelTab& tab : tabs) {
        const int w = tabWidthPx(tab.caption);
        if (x > 0 && x + w > widthPx) {
            x = 0;
            ++line;
        }
        // A caption wider than the strip is cut at its edge; its tooltip has the whole name.
        tab.rect = {x, line * kTabLineHeightPx, std::min(x + w, widthPx),
                    (line + 1) * kTabLineHeightPx};
        x += w;
    }
    out.tabs = std::move(tabs);
    out.lines = line + 1;
    return out;
}

const PanelTab* tabAt(const PanelTabs& tabs, int x, int y) {
    for (const PanelTab& tab : tabs.tabs)
        if (x >= tab.rect.left && x < tab.rect.right && y >= tab.rect.top && y < tab.rect.bottom)
            return &tab;
    return nullptr;
}

}  // namespace replybar
