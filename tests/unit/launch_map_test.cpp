#include "controls/launch_map.h"

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

TEST(LaunchMap, ResolvesEachEntryToItsFileName) {
    const LaunchMap map{L"Mail.lnk", L"notes.txt", L"2", L"12", L""};  // closed by an empty name
    EXPECT_EQ(resolveLaunchEntry(map, 1), L"Mail.lnk");
    EXPECT_EQ(resolveLaunchEntry(map, 2), L"notes.txt");
    EXPECT_EQ(resolveLaunchEntry(map, 3), L"2");  // a name of digits is just a name
    EXPECT_EQ(resolveLaunchEntry(map, 4), L"12");
    EXPECT_EQ(resolveLaunchEntry(map, 5), L"");  // the closing entry: no file
    for (const long long n : {0LL, -1LL, 6LL, 12LL})
        EXPECT_EQ(resolveLaunchEntry(map, n), std::nullopt) << n;
    EXPECT_EQ(resolveLaunchEntry(LaunchMap{}, 1), std::nullopt);  // before the first build
}

TEST(LaunchMap, AnItemOpensTheEntryItCarries) {
    // An entry without an item shifts later ids; the item data keeps each item on its entry.
    EXPECT_EQ(launchEntryForItem(1, 3), 3);
    EXPECT_EQ(launchEntryForItem(1, 0), 2);  // an item of another menu
}

}  // namespace
}  // namespace replybar::launch
