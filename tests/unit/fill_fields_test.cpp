#include "fill/fill_fields.h"

#include <gtest/gtest.h>

namespace replybar::fill {
namespace {

// Wednesday 9 December 2026, 14:05; the agent 小王; the clipboard holds an order number.
FillContext today() {
    FillContext c;
    c.clipboard = L"  DD20261209-0042\r\n";
    c.now = {2026, 12, 9, 14, 5};
    c.agent = L"小王";
    return c;
}

std::wstring filled(const std::wstring& reply, const FillContext& context = today()) {
    const Filled f = fill(readFields(reply), context);
    return f.problem == FillProblem::None ? f.text : L"<problem>";
}

TEST(FillFields, EachFieldPastesWhatItNames) {
    const struct {
        const wchar_t* reply;
        const wchar_t* pasted;
    } cases[] = {
        {L"订单{剪贴板}已发货", L"订单DD20261209-0042已发货"},
        {L"{日期}", L"12月9日"},
        {L"{日期+3}发货", L"12月12日发货"},
        {L"{日期-9}", L"11月30日"},
        {L"{年月日}", L"2026年12月9日"},
        {L"{时间}", L"14:05"},
        {L"今天{星期}", L"今天星期三"},
        {L"您好，我是{客服}", L"您好，我是小王"},
        {L"｛客服｝｛日期+1｝", L"小王12月10日"},  // full-width braces
        // Escapes only around a field's name.
        {L"{{日期}}", L"{日期}"},
        {L"｛｛客服｝｝", L"｛客服｝"},
        {L"{{日期}", L"{12月9日"},
        {L"{{订单}}", L"{{订单}}"},
        // Anything else in braces, and braces without a partner, as they stand.
        {L"{订单号}{日期+}{日期+1000}{日期*2}{}{剪贴板 }", L"{订单号}{日期+}{日期+1000}{日期*2}{}{剪贴板 }"},
        {L"{日期", L"{日期"},
        {L"日期}}", L"日期}}"},
        {L"{客服｝", L"{客服｝"},  // braces of two kinds
        {L"{a{日期}}", L"{a12月9日}"},
        {L"{填写:a{b}", L"{填写:a{b}"},
    };
    for (const auto& c : cases) EXPECT_EQ(filled(c.reply), c.pasted) << c.reply;
}

TEST(FillFields, DatesCrossMonthsYearsAndLeapDays) {
    const struct {
        Moment from;
        int days;
        const wchar_t* pasted;
        int weekday;
    } cases[] = {
        {{2026, 1, 31}, 1, L"2月1日", 0},
        {{2026, 12, 31}, 1, L"1月1日", 5},
        {{2027, 1, 1}, -1, L"12月31日", 4},
        {{2028, 2, 28}, 1, L"2月29日", 2},
        {{2027, 2, 28}, 1, L"3月1日", 1},
        {{2026, 12, 9}, 365, L"12月9日", 4},
        {{1969, 12, 31}, 0, L"12月31日", 3},
    };
    for (const auto& c : cases) {
        FillContext context = today();
        context.now = c.from;
        const std::wstring field = L"{日期" + std::wstring(c.days < 0 ? L"-" : L"+") +
                                   std::to_wstring(c.days < 0 ? -c.days : c.days) + L"}";
        EXPECT_EQ(filled(field, context), c.pasted) << field;
        EXPECT_EQ(weekdayOf(addDays(c.from, c.days)), c.weekday) << field;
    }
    FillContext newYear = today();
    newYear.now = {2026, 12, 31, 23, 59};
    EXPECT_EQ(filled(L"{年月日} {时间} {星期}", newYear), L"2026年12月31日 23:59 星期四");
}

TEST(FillFields, TheClipboardIsTrimmedAndMustHoldText) {
    FillContext c = today();
    c.clipboard = L"\x3000 第一行\r\n第二行 \r\n";
    EXPECT_EQ(filled(L"[{剪贴板}]", c), L"[第一行\r\n第二行]");
    c.clipboard = std::wstring(10000, L'单');
    EXPECT_EQ(filled(L"{剪贴板}", c), std::wstring(10000, L'单'));
    for (const std::optional<std::wstring>& none : {std::optional<std::wstring>(),
                                                    std::optional<std::wstring>(L" \r\n ")}) {
        c.clipboard = none;
        EXPECT_EQ(fill(readFields(L"订单{剪贴板}"), c).problem, FillProblem::NoClipboardText);
        EXPECT_EQ(filled(L"不读剪贴板", c), L"不读剪贴板");
    }
}

TEST(FillFields, TheAgentsNameMustBeSet) {
    FillContext c = today();
    c.agent = L" ";
    EXPECT_EQ(fill(readFields(L"我是{客服}"), c).problem, FillProblem::NoAgentName);
    EXPECT_EQ(filled(L"我是{{客服}}", c), L"我是{客服}");
}

TEST(FillFields, BlanksAreAskedOnceEachInOrder) {
    const std::vector<Piece> pieces =
        readFields(L"订单{填写:订单号}，金额{填写：金额}元，单号{填写:订单号}{填写}");
    EXPECT_EQ(blanksOf(pieces), (std::vector<std::wstring>{L"订单号", L"金额", L""}));
    FillContext c = today();
    c.answers = {L"A1", L"30", L"!"};
    EXPECT_EQ(fill(pieces, c).text, L"订单A1，金额30元，单号A1!");
    c.answers.pop_back();
    EXPECT_EQ(fill(pieces, c).problem, FillProblem::MissingAnswer);
    EXPECT_FALSE(readsClipboard(pieces));
    EXPECT_TRUE(hasFields(L"x{时间}"));
    EXPECT_FALSE(hasFields(L"x{{时间}}{无}"));
}

// What the editor offers to insert is read back as one field each, and says what it pastes now.
TEST(FillFields, TheEditorsChoicesAreFieldsWithWhatTheyPasteNow) {
    const std::vector<FieldChoice> choices = fieldChoices(today());
    ASSERT_EQ(choices.size(), 8u);
    for (const FieldChoice& c : choices) {
        const std::vector<Piece> pieces = readFields(c.field);
        EXPECT_TRUE(pieces.size() == 1 && pieces[0].field) << c.field;
    }
    EXPECT_EQ(choices[2].pastes, L"3 天后，如 12月12日（数字可改，{日期-1} 是昨天）");
    EXPECT_EQ(choices[6].pastes, L"设置里“我的称呼”，现在是 小王");
}

}  // namespace
}  // namespace replybar::fill
