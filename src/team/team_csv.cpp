#include "team/team_csv.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "core/codec.h"
#include "team/team_texts.h"

namespace replybar::team {
namespace {

bool isLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

// What is trimmed from header names, group names and the icon: spaces of either width, tabs, and
// a second byte-order mark some editors leave at the start.
bool isTrimmed(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000' || c == L'\uFEFF'; }

std::wstring trimmed(std::wstring_view s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && isTrimmed(s[begin])) ++begin;
    while (end > begin && isTrimmed(s[end - 1])) --end;
    return std::wstring(s.substr(begin, end - begin));
}

bool isBlank(std::wstring_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](wchar_t c) { return isTrimmed(c) || isLineBreak(c); });
}

// The header row decides the separator: Excel's "Unicode 文本" separates by tabs, every other
// form by commas.
wchar_t separatorOf(const std::wstring& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(start, end - start);
        if (!isBlank(line))
            return line.find(L'\t') != std::wstring::npos && line.find(L',') == std::wstring::npos
                       ? L'\t'
                       : L',';
        start = end + 1;
    }
    return L',';
}

struct Field {
    std::wstring value;
    int line = 0;  // where the field starts
};

struct Record {
    std::vector<Field> fields;
    int line = 0;
};

// Splits the text into records by the quoting rules of CSV, counting physical lines (CR LF, LF
// and a lone CR each end one). Spaces around a quoted field are allowed, as hand-written files
// have them; any other quote outside a quoted field is a fault.
class RecordReader {
public:
    RecordReader(const std::wstring& text, wchar_t separator)
        : text_(text), separator_(separator) {}

    // The next record; false at the end of the text or at a fault (then `error` is set).
    bool next(Record& record) {
        if (pos_ >= text_.size()) return false;
        record.fields.clear();
        record.line = line_;
        for (;;) {
            Field field;
            if (!readField(field)) return false;
            record.fields.push_back(std::move(field));
            if (pos_ >= text_.size()) return true;
            if (text_[pos_] == separator_) {
                ++pos_;
                continue;
            }
            skipLineBreak();
            return true;
        }
    }

    std::optional<CsvError> error;

private:
    bool isPadding(wchar_t c) const { return (c == L' ' || c == L'\t') && c != separator_; }
    bool endsField(wchar_t c) const { return c == separator_ || isLineBreak(c); }

    void skipLineBreak() {
        if (text_[pos_] == L'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == L'\n') ++pos_;
        ++pos_;
        ++line_;
    }

    bool fail(int line, const wchar_t* reason) {
        error = CsvError{line, reason};
        return false;
    }

    bool readField(Field& field) {
        const std::size_t n = text_.size();
        field.line = line_;
        std::size_t p = pos_;
        while (p < n && isPadding(text_[p])) ++p;
        if (p < n && text_[p] == L'"') {
            pos_ = p + 1;
            return readQuoted(field);
        }
        const std::size_t start = pos_;
        while (pos_ < n && !endsField(text_[pos_])) {
            if (text_[pos_] == L'"') return fail(line_, texts::kCsvMisplacedQuote);
            ++pos_;
        }
        field.value.assign(text_, start, pos_ - start);
        return true;
    }

    bool readQuoted(Field& field) {
        const std::size_t n = text_.size();
        for (;;) {
            if (pos_ >= n) return fail(field.line, texts::kCsvUnclosedQuote);
            const std::size_t stop = text_.find_first_of(L"\"\r\n", pos_);
            if (stop == std::wstring::npos) return fail(field.line, texts::kCsvUnclosedQuote);
            field.value.append(text_, pos_, stop - pos_);
            pos_ = stop;
            if (isLineBreak(text_[pos_])) {
                skipLineBreak();
                field.value += L"\r\n";  // as a pick pastes it, whatever the file used
            } else if (pos_ + 1 < n && text_[pos_ + 1] == L'"') {
                field.value += L'"';
                pos_ += 2;
            } else {
                ++pos_;
                break;
            }
        }
        while (pos_ < n && isPadding(text_[pos_])) ++pos_;
        if (pos_ < n && !endsField(text_[pos_])) return fail(line_, texts::kCsvMisplacedQuote);
        return true;
    }

    const std::wstring& text_;
    const wchar_t separator_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// A record of nothing but empty unquoted fields: an empty line, or an empty row as Excel writes
// it (",,").
bool isBlankRecord(const Record& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const Field& f) { return isBlank(f.value); });
}

struct Columns {
    int count = 0;
    int group = -1, reply = -1, icon = -1;
};

std::variant<Columns, CsvError> columnsOf(const Record& header) {
    Columns columns;
    columns.count = static_cast<int>(header.fields.size());
    for (int i = 0; i < columns.count; ++i) {
        const std::wstring name = trimmed(header.fields[i].value);
        int* column = name == L"分组"   ? &columns.group
                      : name == L"回复" ? &columns.reply
                      : name == L"图标" ? &columns.icon
                                        : nullptr;
        if (!column) continue;
        if (*column >= 0) return CsvError{header.fields[i].line, texts::csvRepeatedColumn(name)};
        *column = i;
    }
    if (columns.reply < 0) return CsvError{header.line, texts::kCsvNoReplyColumn};
    if (columns.group < 0) return CsvError{header.line, texts::kCsvNoGroupColumn};
    return columns;
}

std::optional<int> iconOf(std::wstring_view field) {
    const std::wstring code = trimmed(field);
    if (code.empty()) return -1;
    if (code.size() == 1 && code[0] >= L'0' && code[0] <= L'9') return code[0] - L'0';
    return std::nullopt;
}

// Excel opens a CSV cell that starts with =, +, - or @ as a formula: "-送运费险" becomes
// #NAME?, and is saved back so. Such a cell is written with an apostrophe before it, which
// Excel shows and saves back as text; the reader takes one apostrophe off again. A text that
// already starts with apostrophes before one of those gets one more, so the two undo each other
// for every text.
bool excelTakesAsFormula(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L'\'');
    return first != std::wstring_view::npos &&
           std::wstring_view(L"=+-@").find(text[first]) != std::wstring_view::npos;
}

std::wstring protectedFromExcel(const std::wstring& text) {
    return excelTakesAsFormula(text) ? L"'" + text : text;
}

std::wstring unprotected(std::wstring_view text) {
    if (!text.empty() && text.front() == L'\'' && excelTakesAsFormula(text)) text.remove_prefix(1);
    return std::wstring(text);
}

bool needsQuotes(const std::wstring& field) {
    if (field.empty()) return false;
    return field.find_first_of(L",\"\r\n\t") != std::wstring::npos || isTrimmed(field.front()) ||
           isTrimmed(field.back());
}

void appendField(std::wstring& out, const std::wstring& text) {
    const std::wstring field = protectedFromExcel(text);
    if (!needsQuotes(field)) {
        out += field;
        return;
    }
    out += L'"';
    for (wchar_t c : field) {
        if (c == L'"') out += L'"';
        out += c;
    }
    out += L'"';
}

}  // namespace

int TeamLibrary::replyCount() const {
    int count = 0;
    for (const TeamGroup& group : groups) count += static_cast<int>(group.replies.size());
    return count;
}

std::vector<TeamReply> TeamLibrary::repliesInFileOrder() const {
    std::vector<TeamReply> replies;
    replies.reserve(static_cast<std::size_t>(replyCount()));
    if (fileOrder.empty()) {
        for (const TeamGroup& group : groups)
            replies.insert(replies.end(), group.replies.begin(), group.replies.end());
        return replies;
    }
    for (const ReplyPlace& place : fileOrder)
        replies.push_back(groups.at(static_cast<std::size_t>(place.group))
                              .replies.at(static_cast<std::size_t>(place.reply)));
    return replies;
}

TeamParse readTeamCsv(const std::string& bytes) {
    if (bytes.size() > kTeamMaxBytes) return CsvError{0, texts::kCsvTooLarge};
    // Before the text is made: the rows after the change would make no sense in it.
    if (const auto change = codec::encodingChangeOf(bytes))
        return CsvError{change->line, texts::csvEncodingChanged(change->toUtf8)};
    const std::wstring text = codec::decodeStoreText(bytes);
    RecordReader reader(text, separatorOf(text));

    Record record;
    std::optional<Columns> columns;
    TeamLibrary library;
    std::unordered_map<std::wstring, std::size_t> groupIndex;
    int count = 0;
    while (reader.next(record)) {
        if (isBlankRecord(record)) continue;
        if (!columns) {
            auto header = columnsOf(record);
            if (auto* error = std::get_if<CsvError>(&header)) return *error;
            columns = std::get<Columns>(header);
            continue;
        }
        if (static_cast<int>(record.fields.size()) > columns->count)
            return CsvError{record.fields[columns->count].line, texts::kCsvTooManyFields};
        // A view, not a reference to a shared empty string: a static one would be destroyed at
        // exit while a watch's thread may still be reading a file.
        auto field = [&](int column) -> std::wstring_view {
            if (column < 0 || column >= static_cast<int>(record.fields.size())) return {};
            return record.fields[column].value;
        };
        const std::wstring_view reply = field(columns->reply);
        if (isBlank(reply)) continue;
        const std::optional<int> icon = iconOf(field(columns->icon));
        if (!icon) return CsvError{record.fields[columns->icon].line, texts::kCsvBadIcon};
        if (count == kTeamMaxReplies) return CsvError{record.line, texts::kCsvTooManyReplies};
        ++count;

        std::wstring name = unprotected(trimmed(field(columns->group)));
        if (name.empty()) name = kUngroupedName;
        auto [at, added] = groupIndex.try_emplace(name, library.groups.size());
        if (added) library.groups.push_back(TeamGroup{std::move(name), {}});
        std::vector<TeamReply>& replies = library.groups[at->second].replies;
        library.fileOrder.push_back(
            {static_cast<int>(at->second), static_cast<int>(replies.size())});
        replies.push_back(TeamReply{unprotected(reply), *icon});
    }
    if (reader.error) return *reader.error;
    if (!columns) return CsvError{0, texts::kCsvEmpty};
    if (count == 0) return CsvError{0, texts::kCsvNoReplies};
    return library;
}

std::string writeTeamCsv(const TeamLibrary& library) {
    std::wstring out = L"分组,回复,图标\r\n";
    for (const TeamGroup& group : library.groups) {
        for (const TeamReply& reply : group.replies) {
            appendField(out, group.name);
            out += L',';
            appendField(out, reply.text);
            out += L',';
            if (reply.icon >= 0 && reply.icon <= 9) out += static_cast<wchar_t>(L'0' + reply.icon);
            out += L"\r\n";
        }
    }
    return "\xEF\xBB\xBF" + codec::toUtf8(out);
}

std::string writeRepliesCsv(const std::vector<TeamReply>& replies, const std::wstring& group) {
    return writeTeamCsv(TeamLibrary{{TeamGroup{group, replies}}});
}

ImportPlan planImport(const TeamLibrary& library, int existingCount, int capacity) {
    const std::size_t room =
        static_cast<std::size_t>(std::max(0, capacity - std::max(0, existingCount)));
    ImportPlan plan;
    for (TeamReply& reply : library.repliesInFileOrder()) {
        if (plan.added.size() < room)
            plan.added.push_back(std::move(reply));
        else
            ++plan.notFitting;
    }
    return plan;
}

}  // namespace replybar::team
