#include "reply/panel_tabs.h"

#include <gtest/gtest.h>

namespace replybar {
namespace {

// Tabs that do not fit the panel's width go on another line; none is cut or overlaps another.
TEST(PanelTabs, TabsWrapAndEachPointFindsItsTab) {
    const std::vector<std::wstring> names{L"售前", L"售后", L"物流配送", L"一个非常非常长的分组名字",
                                          L"VIP"};
    const PanelTabs tabs = layoutPanelTabs(names, 200, 1, 3);
    ASSERT_EQ(tabs.tabs.size(), names.size() + 1 + 3);  // "我的", the groups, ‹ 2/3 ›
    EXPECT_EQ(tabs.tabs[0].caption, L"我的");
    EXPECT_EQ(tabs.tabs[4].caption, L"一个非常非常长的…");
    EXPECT_EQ(tabs.tabs[7].caption, L"2/3");
    EXPECT_GT(tabs.lines, 1);
    EXPECT_EQ(tabs.heightPx(), tabs.lines * kTabLineHeightPx);
    for (std::size_t i = 0; i < tabs.tabs.size(); ++i) {
        const PxRect& r = tabs.tabs[i].rect;
        EXPECT_LE(r.right, 200) << i;
        EXPECT_GE(r.right - r.left, captionWidthPx(tabs.tabs[i].caption)) << i;
        EXPECT_EQ(tabAt(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2), &tabs.tabs[i]);
    }
    EXPECT_EQ(tabAt(tabs, 199, tabs.heightPx() - 1) == nullptr,
              tabs.tabs.back().rect.right <= 199);
    EXPECT_EQ(layoutPanelTabs(names, 387, 0, 1).tabs.size(), names.size() + 1);  // one page
}

}  // namespace
}  // namespace replybar
