#include "reply/panel_tabs.h"

#include <algorithm>

namespace replybar {
namespace {

constexpr std::size_t kLongestCaption = 8;

bool isWide(wchar_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0xD800 && c <= 0xDBFF);
}

}  // namespace

int captionWidthPx(const std::wstring& caption) {
    int width = 0;
    for (wchar_t c : caption) {
        if (c >= 0xDC00 && c <= 0xDFFF) continue;  // the second half of a pair counts nothing
        width += isWide(c) ? 12 : 7;
    }
    return width;
}

std::wstring tabCaption(const std::wstring& groupName) {
    std::wstring out;
    for (wchar_t c : groupName) out.push_back(c == L'\r' || c == L'\n' || c == L'\t' ? L' ' : c);
    if (out.size() > kLongestCaption) out = out.substr(0, kLongestCaption) + L"…";
    return out;
}

PanelTabs layoutPanelTabs(const std::vector<std::wstring>& groupNames, int widthPx, int page,
                          int pages) {
    PanelTabs out;
    std::vector<PanelTab> tabs;
    tabs.push_back({PanelTab::Group, 0, kOwnGroupName, {}});
    for (std::size_t i = 0; i < groupNames.size(); ++i)
        tabs.push_back({PanelTab::Group, static_cast<int>(i) + 1, tabCaption(groupNames[i]), {}});
    if (pages > 1) {
        tabs.push_back({PanelTab::PreviousPage, 0, L"‹", {}});
        tabs.push_back({PanelTab::PageNumber, 0,
                        std::to_wstring(page + 1) + L"/" + std::to_wstring(pages), {}});
        tabs.push_back({PanelTab::NextPage, 0, L"›", {}});
    }
    int x = 0, line = 0;
    for (PanelTab& tab : tabs) {
        const int w = captionWidthPx(tab.caption) + 2 * kTabTextPaddingPx;
        if (x > 0 && x + w > widthPx) {
            x = 0;
            ++line;
        }
        tab.rect = {x, line * kTabLineHeightPx, std::min(x + w, std::max(widthPx, w)),
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
