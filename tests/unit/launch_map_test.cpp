#include "launch/launch_map.h"

#include <gtest/gtest.h>

#include <vector>

namespace replybar::launch {
namespace {

TEST(LauncherCaption, ShortcutsLoseTheirLastExtension) {
    struct Case {
        const wchar_t *name, *caption;
    };
    for (const Case c :
         {Case{L"Mail.lnk", L"Mail"}, Case{L"Portal.url", L"Portal"}, Case{L"Desk.SCF", L"Desk"},
          Case{L"Readme.Lnk", L"Readme.Lnk"}, Case{L"a.lnk.bak", L"a.lnk"},
          Case{L"notes.txt", L"notes.txt"}, Case{L"LICENSE", L"LICENSE"}, Case{L" .lnk", L" "}}) {
        EXPECT_EQ(launcherCaption(c.name), c.caption) << c.name;
    }
    EXPECT_TRUE(isBlankCaption(launcherCaption(L" .lnk")));
    EXPECT_TRUE(isBlankCaption(L""));
    EXPECT_FALSE(isBlankCaption(L" a "));
}

std::wstring mapOf(const std::vector<std::wstring>& names, bool closed = true) {
    std::wstring map;
    long long n = 0;
    for (const auto& name : names) appendLaunchEntry(map, ++n, name);
    if (closed) appendLaunchEntry(map, n + 1, L"");
    return map;
}

TEST(LaunchMap, BuildsAndResolvesEntries) {
    const std::wstring map = mapOf({L"Mail.lnk", L"notes.txt"});
    EXPECT_EQ(map, L"*1*Mail.lnk*2*notes.txt*3*");
    EXPECT_EQ(resolveLaunchEntry(map, 1), L"Mail.lnk");
    EXPECT_EQ(resolveLaunchEntry(map, 2), L"notes.txt");
    EXPECT_EQ(resolveLaunchEntry(map, 4), std::nullopt);
    EXPECT_EQ(mapOf({}), L"*1*");
    EXPECT_EQ(resolveLaunchEntry(L"Label3", 1), std::nullopt);  // before the first build
}

TEST(LaunchMap, MarkersMatchTheirWholeNumber) {
    std::vector<std::wstring> names;
    for (int i = 1; i <= 12; ++i) names.push_back(L"f" + std::to_wstring(i) + L".lnk");
    const std::wstring map = mapOf(names);
    EXPECT_EQ(resolveLaunchEntry(map, 1), L"f1.lnk");  // not confused with "*12*"
    EXPECT_EQ(resolveLaunchEntry(map, 10), L"f10.lnk");

    // A file named with digits only must not pass for a marker.
    const std::wstring digits = mapOf({L"2", L"12", L"x.lnk"});
    EXPECT_EQ(resolveLaunchEntry(digits, 1), L"2");
    EXPECT_EQ(resolveLaunchEntry(digits, 2), L"12");
}

TEST(LaunchMap, UnclosedMapResolvesToItsEnd) {
    // The build stopped at its cap; long names put the last markers past position 32767.
    std::vector<std::wstring> names(150, std::wstring(250, L'a') + L".lnk");
    names.back() = L"last one.url";
    const std::wstring map = mapOf(names, false);
    ASSERT_GT(map.size(), 32767u);
    EXPECT_EQ(resolveLaunchEntry(map, 150), L"last one.url");
    EXPECT_EQ(resolveLaunchEntry(map, 151), std::nullopt);
}

TEST(LaunchMap, EntryNumberFromAlias) {
    struct Case {
        const wchar_t* alias;
        std::optional<long long> n;
    };
    for (const Case c : {Case{L"open1", 1}, Case{L"open150", 150}, Case{L"open", std::nullopt},
                         Case{L"Open1", std::nullopt}, Case{L"open1a", std::nullopt},
                         Case{L"open-1", std::nullopt}, Case{L"open01", std::nullopt},
                         Case{L"open99999999999999999999", std::nullopt}}) {
        EXPECT_EQ(entryNumberFromAlias(c.alias), c.n) << c.alias;
    }
    // An entry without an item shifts later ids; the alias keeps each item on its entry.
    EXPECT_EQ(launchEntryForItem(1, L"open3"), 3);
    EXPECT_EQ(launchEntryForItem(1, L"exit"), 2);
}

}  // namespace
}  // namespace replybar::launch
