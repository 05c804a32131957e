#include "team/team_csv.h"

#include "core/codec.h"

#include <gtest/gtest.h>

namespace replybar::team {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::string utf8(const std::wstring& text) { return kBom + codec::toUtf8(text); }

// Little-endian UTF-16 with its mark, as Excel's "Unicode 文本" saves (BMP text only).
std::string utf16le(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}

TeamLibrary libraryOf(const std::wstring& text) {
    const TeamParse parsed = readTeamCsv(utf8(text));
    if (const auto* error = std::get_if<CsvError>(&parsed)) {
        ADD_FAILURE() << "refused at line " << error->line;
        return {};
    }
    return std::get<TeamLibrary>(parsed);
}

TEST(TeamCsv, QuotesLineBreaksAndLayout) {
    struct Case {
        const char* what;
        std::wstring file;
        TeamLibrary expected;
    };
    const Case cases[] = {
        {"plain rows, groups in first-seen order",
         L"分组,回复\r\n售前,您好\r\n售后,抱歉\r\n售前,再见\r\n",
         {{{L"售前", {{L"您好"}, {L"再见"}}}, {L"售后", {{L"抱歉"}}}}}},
        {"separator, doubled quote and line breaks in quotes; LF and lone CR become CR LF",
         L"分组,回复\n售前,\"一,二\"\n售前,\"他说\"\"好\"\"\"\n售前,\"甲\n乙\r\n丙\r丁\"\n",
         {{{L"售前", {{L"一,二"}, {L"他说\"好\""}, {L"甲\r\n乙\r\n丙\r\n丁"}}}}}},
        {"a blank line inside quotes is text, outside it is skipped",
         L"分组,回复\r\n\r\n售前,\"上\r\n\r\n下\"\r\n   \r\n,,\r\n",
         {{{L"售前", {{L"上\r\n\r\n下"}}}}}},
        {"columns in any order, padded header, unknown columns ignored, icon kept",
         L"备注, 图标 ,回复,分组 \r\n无关,3,您好,售前\r\n,,再见,售前\r\n",
         {{{L"售前", {{L"您好", 3}, {L"再见", -1}}}}}},
        {"empty group goes to 未分组, empty reply is skipped, group names trimmed",
         L"分组,回复\r\n,您好\r\n 售前 ,在的\r\n售前,\r\n售前,\"  \"\r\n",
         {{{kUngroupedName, {{L"您好"}}}, {L"售前", {{L"在的"}}}}}},
        {"reply text kept exactly; spaces around a quoted field dropped",
         L"分组,回复\r\n售前,  您好  \r\n售前,  \"引用\"  \r\n",
         {{{L"售前", {{L"  您好  "}, {L"引用"}}}}}},
        {"fewer fields than the header, last row without a line end",
         L"分组,回复,图标\r\n售前,您好",
         {{{L"售前", {{L"您好"}}}}}},
    };
    for (const Case& c : cases) EXPECT_EQ(libraryOf(c.file), c.expected) << c.what;
}

TEST(TeamCsv, EncodingsExcelSavesReadTheSame) {
    const TeamLibrary expected{{{L"售前", {{L"您好，请问有什么可以帮您？", 2}}},
                                {L"物流", {{L"已发货\r\n单号见订单", -1}}}}};
    const std::wstring commas =
        L"分组,回复,图标\r\n售前,您好，请问有什么可以帮您？,2\r\n物流,\"已发货\r\n单号见订单\","
        L"\r\n";
    const std::wstring tabs =
        L"分组\t回复\t图标\r\n售前\t您好，请问有什么可以帮您？\t2\r\n物流\t\"已发货\r\n单号见订单\""
        L"\t\r\n";
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"CSV (GBK)", codec::toGbk(commas).value()},
        {"CSV UTF-8 (with mark)", utf8(commas)},
        {"UTF-8 without mark", codec::toUtf8(commas)},
        {"Unicode text (UTF-16 LE, tabs)", utf16le(tabs)},
    };
    for (const auto& c : cases) {
        const TeamParse parsed = readTeamCsv(c.bytes);
        ASSERT_TRUE(std::holds_alternative<TeamLibrary>(parsed)) << c.what;
        EXPECT_EQ(std::get<TeamLibrary>(parsed), expected) << c.what;
    }
}

TEST(TeamCsv, FaultsRefuseTheFileWithTheirLine) {
    struct Case {
        std::wstring file;
        CsvError expected;
    };
    const Case cases[] = {
        {L"", {0, L"文件是空的"}},
        {L"\r\n  \r\n", {0, L"文件是空的"}},
        // Used, either would take every agent's team replies away.
        {L"分组,回复\r\n", {0, L"文件里没有回复"}},
        {L"分组,回复,图标\r\n\r\n,,\r\n售前,,3\r\n售前,\"  \"\r\n", {0, L"文件里没有回复"}},
        {L"\r\n分组,内容\r\n", {2, L"缺少“回复”列"}},
        {L"回复\r\n你好\r\n", {1, L"缺少“分组”列"}},
        {L"分组,回复,回复\r\n", {1, L"“回复”列重复"}},
        {L"分组,回复\r\n售前,\"没有闭合\r\n\r\n售后,好\r\n", {2, L"引号未闭合"}},
        {L"分组,回复\r\n售前,\"甲\r\n乙\"\r\n售前,他说\"好\"\r\n", {4, L"引号位置不对"}},
        {L"分组,回复\r\n售前,\"甲\"乙\r\n", {2, L"引号位置不对"}},
        {L"分组,回复\r\n售前,\"甲\r\n乙\",多余\r\n", {3, L"列数多于标题行"}},
        {L"分组,回复,图标\r\n售前,好,1\r\n售前,好,10\r\n", {3, L"图标只能是 0–9 或空"}},
        {L"分组,回复,图标\r\n售前,好,x\r\n", {2, L"图标只能是 0–9 或空"}},
    };
    for (const Case& c : cases) {
        const TeamParse parsed = readTeamCsv(utf8(c.file));
        ASSERT_TRUE(std::holds_alternative<CsvError>(parsed)) << codec::toUtf8(c.file);
        EXPECT_EQ(std::get<CsvError>(parsed), c.expected) << codec::toUtf8(c.file);
    }
}

// Rows appended by an editor of the other encoding: refused at the first of them, whichever way
// round, since they would read as gibberish. Lines of ASCII or of two-byte UTF-8 alone fit both.
TEST(TeamCsv, MixedEncodingsAreRefusedAtTheFirstLineOfTheOther) {
    const auto gbk = [](const std::wstring& text) { return codec::toGbk(text).value(); };
    const auto bare = [](const std::wstring& text) { return codec::toUtf8(text); };
    const struct {
        const char* what;
        std::string bytes;
        CsvError expected;
    } cases[] = {
        {"GBK, then UTF-8 rows",
         gbk(L"分组,回复\r\n售前,您好\r\n") + bare(L"售后,再见\r\n"),
         {3, L"此行起换了编码（UTF-8）"}},
        {"UTF-8, then GBK rows",
         bare(L"分组,回复\r\n售前,您好\r\n") + gbk(L"售后,再见\r\n"),
         {3, L"此行起换了编码（GBK）"}},
        {"the mark says UTF-8 before any line",
         utf8(L"") + gbk(L"分组,回复\r\n售前,您好\r\n"),
         {1, L"此行起换了编码（GBK）"}},
        {"ASCII lines say nothing; LF and lone CR end lines",
         bare(L"\n分组,回复\rA,ok\n") + gbk(L"售前,好\r\n"),
         {4, L"此行起换了编码（GBK）"}},
        {"inside a quoted reply, the physical line",
         utf8(L"分组,回复\r\n售前,\"第一行\r\n") + gbk(L"第二行\"\r\n"),
         {3, L"此行起换了编码（GBK）"}},
    };
    for (const auto& c : cases) {
        const TeamParse parsed = readTeamCsv(c.bytes);
        ASSERT_TRUE(std::holds_alternative<CsvError>(parsed)) << c.what;
        EXPECT_EQ(std::get<CsvError>(parsed), c.expected) << c.what;
    }
    // "café" is two-byte UTF-8 and a GBK pair alike: the file stays GBK, read as today.
    const std::string twoByte = gbk(L"分组,回复\r\n") + bare(L"A,café\r\n");
    EXPECT_EQ(readTeamCsv(twoByte),
              TeamParse(TeamLibrary{{{L"A", {{codec::fromGbk(bare(L"café"))}}}}}));
}

TEST(TeamCsv, LimitsOfRepliesAndSize) {
    std::wstring file = L"分组,回复\r\n";
    for (int i = 0; i < kTeamMaxReplies; ++i) file += L"售前,回复" + std::to_wstring(i) + L"\r\n";
    const TeamParse full = readTeamCsv(utf8(file));
    ASSERT_TRUE(std::holds_alternative<TeamLibrary>(full));
    EXPECT_EQ(std::get<TeamLibrary>(full).replyCount(), kTeamMaxReplies);

    // Skipped rows do not count; the first reply past the limit is the fault's line.
    EXPECT_EQ(std::get<CsvError>(readTeamCsv(utf8(file + L"售前,\r\n售前,多一条\r\n"))),
              (CsvError{kTeamMaxReplies + 3, L"回复超过 2000 条"}));

    std::string big = utf8(L"分组,回复\r\n售前,\"");
    big.append(kTeamMaxBytes - big.size() - 3, 'a');
    EXPECT_TRUE(std::holds_alternative<TeamLibrary>(readTeamCsv(big + "\"\r\n")));
    EXPECT_EQ(std::get<CsvError>(readTeamCsv(big + "a\"\r\n")), (CsvError{0, L"文件超过 2 MB"}));
}

TEST(TeamCsv, WrittenRepliesReadBackExactly) {
    const std::vector<TeamReply> replies = {
        {L"您好", 0},
        {L"一,二", 9},
        {L"他说\"好\"", -1},
        {L"第一行\r\n\r\n第三行", 5},
        {L"  两边有空格  ", -1},
        {L"制表\t符", 1},
        {L"\"整句引号\"", 2},
        {L"表情 \U0001F600 和生僻字 𠀀", -1},
    };
    const std::string bytes = writeRepliesCsv(replies, L"我的回复");
    EXPECT_EQ(bytes.substr(0, kBom.size()), kBom);
    EXPECT_EQ(
        bytes.substr(kBom.size(), codec::toUtf8(L"分组,回复,图标\r\n我的回复,您好,0\r\n").size()),
        codec::toUtf8(L"分组,回复,图标\r\n我的回复,您好,0\r\n"));
    EXPECT_EQ(readTeamCsv(bytes), TeamParse(TeamLibrary{{{L"我的回复", replies}}}));

    const TeamLibrary several{
        {{L"售前", {{L"a"}}}, {L"售, \"后\"", {{L"b", 4}}}, {L"售前2", {{L"c"}}}}};
    EXPECT_EQ(readTeamCsv(writeTeamCsv(several)), TeamParse(several));
}

// Excel opens a cell that starts with =, +, - or @ as a formula. Such a text is written with an
// apostrophe, which Excel shows as text and saves back; every form Excel saves it in reads the
// text as it was, and what Excel would not compute is written as it is.
TEST(TeamCsv, TextsExcelWouldComputeSurviveExcelBothWays) {
    const struct {
        std::wstring text, field;
    } cases[] = {
        {L"=SUM(A1:A3) 不是公式", L"'=SUM(A1:A3) 不是公式"},
        {L"-送运费险", L"'-送运费险"},
        {L"+86 400 800 1234", L"'+86 400 800 1234"},
        {L"@客服小王 请跟进", L"'@客服小王 请跟进"},
        {L"-", L"'-"},
        {L"'-本来就有撇号", L"''-本来就有撇号"},  // one more written, one fewer read
        {L"'撇号开头", L"'撇号开头"},
        {L"满 100 减 20=80", L"满 100 减 20=80"},
    };
    for (const auto& c : cases) {
        const std::string written = writeRepliesCsv({{c.text, 1}}, L"-促销");
        EXPECT_NE(written.find(codec::toUtf8(L"'-促销," + c.field + L",1\r\n")), std::string::npos)
            << codec::toUtf8(c.text);
        const TeamLibrary expected{{{L"-促销", {{c.text, 1}}}}};
        const std::wstring comma = L"分组,回复,图标\r\n'-促销," + c.field + L",1\r\n";
        const std::wstring tab = L"分组\t回复\t图标\r\n'-促销\t" + c.field + L"\t1\r\n";
        EXPECT_EQ(readTeamCsv(written), TeamParse(expected)) << codec::toUtf8(c.text);
        EXPECT_EQ(readTeamCsv(utf16le(tab)), TeamParse(expected)) << codec::toUtf8(c.text);
        EXPECT_EQ(readTeamCsv(codec::toGbk(comma).value()), TeamParse(expected))
            << codec::toUtf8(c.text);
    }
}

TEST(TeamCsv, ImportTakesAllGroupsInOrderUpToCapacity) {
    const TeamLibrary library{{{L"甲", {{L"1"}, {L"2", 3}}}, {L"乙", {{L"3"}, {L"4"}}}}};
    struct Case {
        int existing;
        std::vector<std::wstring> added;
        int notFitting;
    };
    const Case cases[] = {
        {0, {L"1", L"2", L"3", L"4"}, 0},
        {38, {L"1", L"2", L"3"}, 1},
        {41, {}, 4},
        {45, {}, 4},
    };
    for (const Case& c : cases) {
        const ImportPlan plan = planImport(library, c.existing, 41);
        std::vector<std::wstring> texts;
        for (const TeamReply& reply : plan.added) texts.push_back(reply.text);
        EXPECT_EQ(texts, c.added) << c.existing;
        EXPECT_EQ(plan.notFitting, c.notFitting) << c.existing;
    }
    EXPECT_EQ(planImport(library, 0, 41).added[1].icon, 3);
}

// A file read keeps the order of its rows for the import, also where groups alternate.
TEST(TeamCsv, ImportKeepsTheOrderOfTheFile) {
    const TeamLibrary library =
        libraryOf(L"分组,回复,图标\r\n甲,1,1\r\n乙,2,2\r\n,3,3\r\n甲,4,4\r\n乙,5,5\r\n");
    EXPECT_EQ(library, (TeamLibrary{{{L"甲", {{L"1", 1}, {L"4", 4}}},
                                     {L"乙", {{L"2", 2}, {L"5", 5}}},
                                     {kUngroupedName, {{L"3", 3}}}}}));
    const ImportPlan plan = planImport(library, 38, 41);
    EXPECT_EQ(plan.added, (std::vector<TeamReply>{{L"1", 1}, {L"2", 2}, {L"3", 3}}));
    EXPECT_EQ(plan.notFitting, 2);
}

}  // namespace
}  // namespace replybar::team
