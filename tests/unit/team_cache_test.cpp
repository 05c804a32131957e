#include "team/team_cache.h"

#include <gtest/gtest.h>

namespace replybar::team {
namespace {

TEST(TeamCache, TheCopyOfTheLocationSetIsUsedAndNothingElse) {
    const std::wstring share = L"\\\\server\\团队\\回复.csv";
    const LocalTime when{2026, 12, 7, 12, 5};
    const std::string bytes = "\xEF\xBB\xBF分组,回复\r\n售前,\"您好\r\n第二行\"\r\n";
    const std::string copy = formatCache(share, when, bytes);
    const auto back = parseCache(copy, share);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bytes, bytes);
    EXPECT_EQ(back->fetched, when);

    const std::string damaged[] = {
        "",
        copy.substr(0, copy.find("\r\n")),                      // cut after the location
        formatCache(share, {2026, 13, 7, 12, 5}, bytes),        // no such month
        formatCache(share, when, bytes).replace(0, 2, "//"),    // another location
        std::string(copy).replace(copy.find("2026-12-07"), 10, "2026-12-7 "),  // not its shape
        std::string(copy).replace(copy.find("12:05"), 2, "1x"),  // not a time
    };
    for (const std::string& d : damaged) EXPECT_FALSE(parseCache(d, share)) << d;
    EXPECT_FALSE(parseCache(copy, L"https://intranet/回复.csv"));
}

TEST(TeamCache, GroupsShowEachReplyWithItsCaptionAndIcon) {
    const TeamLibrary library{{{L"售后", {{L"退货\r\n流程", 3}, {L"好的", -1}}}}};
    const std::vector<ReplyGroup> groups = replyGroupsOf(library);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].name, L"售后");
    ASSERT_EQ(groups[0].rows.size(), 2u);
    EXPECT_EQ(groups[0].rows[0].fullText, L"退货\r\n流程");
    EXPECT_EQ(groups[0].rows[0].displayText, L"退货 流程\u3000");
    EXPECT_EQ(groups[0].rows[0].icon, 3);
    EXPECT_EQ(groups[0].rows[1].icon, -1);
}

}  // namespace
}  // namespace replybar::team
