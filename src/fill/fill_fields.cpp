#include "fill/fill_fields.h"

#include <algorithm>
#include <utility>

namespace replybar::fill {
namespace {

constexpr wchar_t kOpen = L'{', kClose = L'}';
constexpr wchar_t kWideOpen = L'\xFF5B', kWideClose = L'\xFF5D';  // ｛ ｝

// The close brace that belongs to an open one; none for any other character.
wchar_t closeOf(wchar_t open) {
    return open == kOpen ? kClose : open == kWideOpen ? kWideClose : L'\0';
}

// The number after 日期+ or 日期-: one to three digits.
std::optional<int> dayCount(std::wstring_view digits) {
    if (digits.empty() || digits.size() > 3) return std::nullopt;
    int n = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        n = n * 10 + (c - L'0');
    }
    return n;
}

Field field(FieldKind kind, int dayOffset = 0, std::wstring prompt = {}) {
    Field f;
    f.kind = kind;
    f.dayOffset = dayOffset;
    f.prompt = std::move(prompt);
    return f;
}

// The field a name in braces stands for; none when it is no field's name.
std::optional<Field> fieldOf(std::wstring_view name) {
    if (name == L"剪贴板") return field(FieldKind::Clipboard);
    if (name == L"年月日") return field(FieldKind::FullDate);
    if (name == L"时间") return field(FieldKind::Time);
    if (name == L"星期") return field(FieldKind::Weekday);
    if (name == L"客服") return field(FieldKind::Agent);
    constexpr std::wstring_view kDate = L"日期";
    if (name.substr(0, kDate.size()) == kDate) {
        const std::wstring_view rest = name.substr(kDate.size());
        if (rest.empty()) return field(FieldKind::Date);
        if (rest[0] != L'+' && rest[0] != L'-') return std::nullopt;
        const std::optional<int> n = dayCount(rest.substr(1));
        if (!n) return std::nullopt;
        return field(FieldKind::Date, rest[0] == L'-' ? -*n : *n);
    }
    constexpr std::wstring_view kBlank = L"填写";
    if (name.substr(0, kBlank.size()) == kBlank) {
        const std::wstring_view rest = name.substr(kBlank.size());
        if (rest.empty()) return field(FieldKind::Blank);
        if (rest[0] != L':' && rest[0] != L'\xFF1A') return std::nullopt;  // : or ：
        const std::wstring_view prompt = rest.substr(1);
        if (prompt.find_first_of(L"{}\xFF5B\xFF5D") != std::wstring_view::npos) return std::nullopt;
        return field(FieldKind::Blank, 0, std::wstring(prompt));
    }
    return std::nullopt;
}

bool isSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\x3000';
}

std::wstring trimmed(const std::wstring& s) {
    std::size_t first = 0, last = s.size();
    while (first < last && isSpace(s[first])) ++first;
    while (last > first && isSpace(s[last - 1])) --last;
    return s.substr(first, last - first);
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Moment civilFromDays(long z, const Moment& time) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    Moment m = time;
    m.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    m.year = static_cast<int>(yoe + era * 400 + (m.month <= 2));
    return m;
}

std::wstring twoDigits(int n) { return {wchar_t(L'0' + n / 10 % 10), wchar_t(L'0' + n % 10)}; }

}  // namespace

std::vector<Piece> readFields(std::wstring_view reply) {
    std::vector<Piece> pieces;
    std::wstring literal;
    const auto flush = [&] {
        if (!literal.empty()) pieces.push_back({std::move(literal), std::nullopt});
        literal.clear();
    };
    std::size_t i = 0;
    while (i < reply.size()) {
        const wchar_t open = reply[i];
        const wchar_t close = closeOf(open);
        if (!close) {
            literal += open;
            ++i;
            continue;
        }
        // {{name}} of a field's name: the field's name in single braces, as text.
        if (i + 1 < reply.size() && reply[i + 1] == open) {
            const std::size_t end = reply.find(close, i + 2);
            if (end != std::wstring_view::npos && end + 1 < reply.size() &&
                reply[end + 1] == close && fieldOf(reply.substr(i + 2, end - i - 2))) {
                literal += open;
                literal += reply.substr(i + 2, end - i - 2);
                literal += close;
                i = end + 2;
                continue;
            }
        }
        const std::size_t end = reply.find(close, i + 1);
        if (end != std::wstring_view::npos) {
            if (std::optional<Field> found = fieldOf(reply.substr(i + 1, end - i - 1))) {
                flush();
                pieces.push_back({std::wstring(), std::move(found)});
                i = end + 1;
                continue;
            }
        }
        literal += open;
        ++i;
    }
    flush();
    return pieces;
}

bool hasFields(std::wstring_view reply) {
    const std::vector<Piece> pieces = readFields(reply);
    return std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) { return p.field; });
}

std::vector<std::wstring> blanksOf(const std::vector<Piece>& pieces) {
    std::vector<std::wstring> prompts;
    for (const Piece& p : pieces)
        if (p.field && p.field->kind == FieldKind::Blank &&
            std::find(prompts.begin(), prompts.end(), p.field->prompt) == prompts.end())
            prompts.push_back(p.field->prompt);
    return prompts;
}

bool readsClipboard(const std::vector<Piece>& pieces) {
    return std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) {
        return p.field && p.field->kind == FieldKind::Clipboard;
    });
}

Moment addDays(const Moment& from, int days) {
    return civilFromDays(daysFromCivil(from.year, from.month, from.day) + days, from);
}

int weekdayOf(const Moment& m) {
    const long z = daysFromCivil(m.year, m.month, m.day);
    return static_cast<int>(((z + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
}

Filled fill(const std::vector<Piece>& pieces, const FillContext& context) {
    const std::vector<std::wstring> prompts = blanksOf(pieces);
    if (context.answers.size() < prompts.size()) return {{}, FillProblem::MissingAnswer};
    Filled out;
    for (const Piece& p : pieces) {
        if (!p.field) {
            out.text += p.text;
            continue;
        }
        const Field& f = *p.field;
        switch (f.kind) {
            case FieldKind::Clipboard: {
                const std::wstring text = context.clipboard ? trimmed(*context.clipboard) : L"";
                if (text.empty()) return {{}, FillProblem::NoClipboardText};
                out.text += text;
                break;
            }
            case FieldKind::Agent: {
                const std::wstring name = trimmed(context.agent);
                if (name.empty()) return {{}, FillProblem::NoAgentName};
                out.text += name;
                break;
            }
            case FieldKind::Date: {
                const Moment d = addDays(context.now, f.dayOffset);
                out.text += std::to_wstring(d.month) + L"月" + std::to_wstring(d.day) + L"日";
                break;
            }
            case FieldKind::FullDate:
                out.text += std::to_wstring(context.now.year) + L"年" +
                            std::to_wstring(context.now.month) + L"月" +
                            std::to_wstring(context.now.day) + L"日";
                break;
            case FieldKind::Time:
                out.text += twoDigits(context.now.hour) + L":" + twoDigits(context.now.minute);
                break;
            case FieldKind::Weekday:
                out.text += L"星期";
                out.text += L"日一二三四五六"[weekdayOf(context.now)];
                break;
            case FieldKind::Blank: {
                const auto at = std::find(prompts.begin(), prompts.end(), f.prompt);
                out.text += context.answers[static_cast<std::size_t>(at - prompts.begin())];
                break;
            }
        }
    }
    return out;
}

std::vector<FieldChoice> fieldChoices(const FillContext& context) {
    auto now = [&](const wchar_t* field) { return preview(readFields(field), context); };
    return {
        {L"{剪贴板}", L"选回复时剪贴板里的文字，如刚复制的订单号"},
        {L"{日期}", L"今天，如 " + now(L"{日期}")},
        {L"{日期+3}", L"3 天后，如 " + now(L"{日期+3}") + L"（数字可改，{日期-1} 是昨天）"},
        {L"{年月日}", L"如 " + now(L"{年月日}")},
        {L"{时间}", L"现在的时间，如 " + now(L"{时间}")},
        {L"{星期}", L"如 " + now(L"{星期}")},
        {L"{客服}", L"设置里“我的称呼”，现在是 " + now(L"{客服}")},
        {L"{填写:}", L"选回复时在小框里填写，冒号后写提示，如 {填写:快递单号}"},
    };
}

std::wstring preview(const std::vector<Piece>& pieces, const FillContext& context) {
    FillContext shown = context;
    // A long clip is shown by its start: the tip is a line or two, not the whole clip.
    constexpr std::size_t kClipShown = 40;
    const std::wstring clip = context.clipboard ? trimmed(*context.clipboard) : L"";
    shown.clipboard = clip.empty()               ? L"〔剪贴板里没有文字〕"
                      : clip.size() > kClipShown ? clip.substr(0, kClipShown) + L"…"
                                                 : clip;
    if (trimmed(context.agent).empty()) shown.agent = L"〔未设置我的称呼〕";
    shown.answers.clear();
    for (const std::wstring& prompt : blanksOf(pieces))
        shown.answers.push_back(L"〔" + (prompt.empty() ? std::wstring(L"填写") : prompt) + L"〕");
    return fill(pieces, shown).text;
}

}  // namespace replybar::fill
