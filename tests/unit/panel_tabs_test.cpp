#include "panel/panel_tabs.h"

#include <gtest/gtest.h>

#include <set>

namespace replybar {
namespace {

// Tabs that do not fit the panel's width go on another line; none is cut or overlaps another.
TEST(PanelTabs, TabsWrapAndEachPointFindsItsTab) {
    const std::vector<std::wstring> names{L"售前", L"售后", L"物流配送", L"一个非常非常长的分组名字",
                                          L"VIP"};
    const PanelTabs tabs = layoutPanelTabs(names, 200, 1, 3);
    ASSERT_EQ(tabs.tabs.size(), names.size() + 1 + 3);  // "我的", the groups, ‹ 2/3 ›
    EXPECT_EQ(tabs.tabs[0].caption, L"我的");
    EXPECT_EQ(tabs.tabs[4].caption, L"一个非…分组名字");  // cut in the middle, whole in its tip
    EXPECT_EQ(tabs.tabs[4].fullName, L"一个非常非常长的分组名字");
    EXPECT_EQ(tabs.tabs[1].fullName, L"");
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

// Captions of long names that differ only near their end, or anywhere, stay apart; a team group
// called "我的" is not the user's own.
TEST(PanelTabs, EveryCaptionIsToldApart) {
    const struct {
        std::vector<std::wstring> names;
        std::vector<std::wstring> captions;
    } cases[] = {
        {{L"售前常见问题第001组", L"售前常见问题第101组"}, {L"售前常…001组", L"售前常…101组"}},
        {{L"第一批售前常见问题", L"第二批售前常见问题"}, {L"第一批…常见问题", L"第二批…常见问题"}},
        // The same start and end: more of each shows until they differ.
        {{L"售后处理流程A版本甲乙", L"售后处理流程B版本甲乙"},
         {L"售后处理流程A版本甲乙", L"售后处理流程B版本甲乙"}},
        {{L"我的", L"短名"}, {L"我的（团队）", L"短名"}},
    };
    for (const auto& c : cases) EXPECT_EQ(tabCaptions(c.names), c.captions) << c.names[0];
}

// However many groups, the strip keeps to its lines; « and » lead from run to run round all of
// them, and the run shown is the one of the group shown.
TEST(PanelTabs, ManyGroupsKeepToTheStripsLinesAndEveryOneIsReachable) {
    for (const int count : {4, 30, 120}) {
        SCOPED_TRACE(count);
        std::vector<std::wstring> names;
        for (int i = 0; i < count; ++i) names.push_back(L"售前常见问题第" + std::to_wstring(i) + L"组的回复");
        std::set<int> reached;
        int shown = 1;
        for (int step = 0; step <= count && !reached.count(shown); ++step) {
            const PanelTabs tabs = layoutPanelTabs(names, 387, 0, 3, shown);
            EXPECT_LE(tabs.lines, kMaxTabLines);
            EXPECT_EQ(tabs.tabs[0].caption, kOwnGroupName);
            int next = -1;
            for (const PanelTab& t : tabs.tabs) {
                EXPECT_LE(t.rect.right, 387);
                if (t.kind == PanelTab::Group && t.index > 0) reached.insert(t.index);
                if (t.kind == PanelTab::LaterGroups) next = t.index;
            }
            EXPECT_TRUE(reached.count(shown)) << "the group shown is on its run";
            if (next < 0) break;  // one run holds them all
            shown = next;
        }
        EXPECT_EQ(static_cast<int>(reached.size()), count);
    }
}

}  // namespace
}  // namespace replybar
