// Replies that fill themselves in: a field in braces — {剪贴板}, {日期}, {日期+3}, {年月日},
// {时间}, {星期}, {客服} or {填写:提示}, in ASCII {} or full-width ｛｝ braces — is replaced at the
// pick. Anything else in braces is pasted as it stands, so replies written before fields existed
// keep their meaning; {{日期}} pastes {日期}.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/local_time.h"

namespace replybar::fill {

enum class FieldKind { Clipboard, Date, FullDate, Time, Weekday, Agent, Blank };

struct Field {
    FieldKind kind = FieldKind::Date;
    int dayOffset = 0;    // {日期+N} / {日期-N}
    std::wstring prompt;  // {填写:提示}
    bool operator==(const Field&) const = default;
};

// A reply as literal text and fields, in order. Literal pieces hold no field.
struct Piece {
    std::wstring text;           // when no field
    std::optional<Field> field;  // when a field
    bool operator==(const Piece&) const = default;
};

std::vector<Piece> readFields(std::wstring_view reply);
bool hasFields(std::wstring_view reply);

// The blanks' prompts in the order they are asked: the same prompt twice is asked once and
// fills both places.
std::vector<std::wstring> blanksOf(const std::vector<Piece>& pieces);
// Whether the reply reads the clipboard.
bool readsClipboard(const std::vector<Piece>& pieces);

using Moment = LocalTime;

// What the fields are filled from, read when the pick starts.
struct FillContext {
    std::optional<std::wstring> clipboard;  // the clipboard's text; none when it holds none
    Moment now;
    std::wstring agent;                     // the agent's name from the settings
    std::vector<std::wstring> answers;      // one per blank, in blanksOf's order
};

enum class FillProblem {
    None,
    NoClipboardText,  // {剪贴板} with no text on the clipboard (or only spaces)
    NoAgentName,      // {客服} with no name set
    MissingAnswer,    // fewer answers than blanks
};

struct Filled {
    std::wstring text;  // only when problem is None
    FillProblem problem = FillProblem::None;
};

Filled fill(const std::vector<Piece>& pieces, const FillContext& context);
// How the reply would paste now, for its tooltip: never fails. A blank shows its prompt in
// brackets (〔订单号〕), a field with nothing to fill it says so in brackets.
std::wstring preview(const std::vector<Piece>& pieces, const FillContext& context);

// The fields the reply editor offers to insert ("插入字段"), each with a line on what it pastes,
// filled from `context` where it can be.
struct FieldChoice {
    std::wstring field;   // as inserted: {日期+3}
    std::wstring pastes;  // 3 天后，如 12月12日（数字可改）
};
std::vector<FieldChoice> fieldChoices(const FillContext& context);

// A date N days from `from`, across months and years.
Moment addDays(const Moment& from, int days);
// 0 = Sunday … 6 = Saturday.
int weekdayOf(const Moment& m);

}  // namespace replybar::fill
