#include "search/reply_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace replybar {
namespace {

TEST(ReplySearch, WhatMatchesAndWhere) {
    struct Case {
        const char* query;
        std::wstring text;
        ReplyMatch expected;
    };
    const Case cases[] = {
        // Initials, at the start and inside.
        {"hygl", L"欢迎光临本店！", ReplyMatch::AtStart},
        {"fh", L"今天发货", ReplyMatch::Inside},
        {"gl", L"欢迎光临", ReplyMatch::Inside},
        {"hg", L"欢迎光临", ReplyMatch::None},   // not consecutive
        {"ygh", L"欢迎光临", ReplyMatch::None},  // not in order
        // Whole syllables, the last one cut short, and mixes.
        {"huany", L"欢迎光临", ReplyMatch::AtStart},
        {"huanyingguanglin", L"欢迎光临", ReplyMatch::AtStart},
        {"huanygl", L"欢迎光临", ReplyMatch::AtStart},
        {"hyguangl", L"欢迎光临", ReplyMatch::AtStart},
        {"zhid", L"我知道了", ReplyMatch::Inside},           // zh as the initial
        {"huanyinguang", L"欢迎光临", ReplyMatch::AtStart},  // any beginning of each syllable
        {"huangy", L"欢迎光临", ReplyMatch::None},           // 欢 is huan
        {"huanyy", L"欢迎光临", ReplyMatch::None},
        {"hyglx", L"欢迎光临", ReplyMatch::None},  // more letters than the text
        // Polyphones by any reading; ü typed as v.
        {"yh", L"银行卡", ReplyMatch::AtStart},
        {"hk", L"银行卡", ReplyMatch::Inside},
        {"xk", L"银行卡", ReplyMatch::Inside},
        {"yinhang", L"银行卡", ReplyMatch::AtStart},
        {"yinxing", L"银行卡", ReplyMatch::AtStart},
        {"xl", L"行李", ReplyMatch::AtStart},
        {"lvse", L"绿色款", ReplyMatch::AtStart},
        {"ling", L"〇号", ReplyMatch::AtStart},
        // Latin text, any case, full-width too; mixed with hanzi.
        {"ok", L"OK的", ReplyMatch::AtStart},
        {"ok", L"好的ok", ReplyMatch::Inside},
        {"okd", L"OK的", ReplyMatch::AtStart},
        {"vip", L"尊敬的ＶＩＰ客户", ReplyMatch::Inside},
        {"emai", L"请发 email 给我", ReplyMatch::Inside},
        // Separators end a run; leading ones still count as the start.
        {"nhhy", L"您好，欢迎", ReplyMatch::None},
        {"hy", L"您好，欢迎", ReplyMatch::Inside},
        {"tz", L"【通知】明天休息", ReplyMatch::AtStart},
        {"hy", L"  欢迎", ReplyMatch::AtStart},
        {"dh", L"订单12号", ReplyMatch::None},  // 单 and 号, digits between
        {"hy", L"\U0001F600欢迎", ReplyMatch::AtStart},
        {"hy", L"", ReplyMatch::None},
        {"", L"欢迎", ReplyMatch::None},
    };
    for (const Case& c : cases) EXPECT_EQ(matchReply(c.query, c.text), c.expected) << c.query;
}

TEST(ReplySearch, RankingStartThenRecentThenGroupOrder) {
    const std::vector<SearchItem> items = {
        {1, 0, L"今天发货", 0},  // 0: inside, never picked
        {1, 1, L"发货时间", 0},  // 1: start, never picked
        {0, 5, L"已发货", 900},  // 2: inside, picked lately
        {0, 3, L"发货地址", 0},  // 3: start, group 0
        {2, 0, L"发货啦", 500},  // 4: start, picked
        {0, 1, L"退款", 1000},   // 5: no match
        {0, 2, L"发货地址", 0},  // 6: start, group 0 before index 3
    };
    EXPECT_EQ(searchReplies(L"fh", items, 10), (std::vector<std::size_t>{4, 6, 3, 1, 2, 0}));
    EXPECT_EQ(searchReplies(L"F-H", items, 2), (std::vector<std::size_t>{4, 6}));  // letters only
    EXPECT_TRUE(searchReplies(L"fh", items, 0).empty());
    EXPECT_TRUE(searchReplies(L"12", items, 10).empty());
}

TEST(ReplySearch, OverlongQueryFindsNothing) {
    const std::wstring longText(kMaxSearchLetters + 1, L'a');
    const std::vector<SearchItem> items = {{0, 0, longText, 0}};
    EXPECT_EQ(searchReplies(longText.substr(1), items, 5).size(), 1u);
    EXPECT_TRUE(searchReplies(longText, items, 5).empty());
}

}  // namespace
}  // namespace replybar
