#include "team/team_cache.h"


#include "core/codec.h"

namespace replybar::team {
namespace {

// Written and read by hand: the C library's scanf family would bring some 20 KB of formatting
// code into the program for this one line.
void appendNumber(std::string& out, int value, int digits) {
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0 && value > 0; --i, value /= 10)
        text[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    out += text;
}

std::string timeText(const LocalTime& t) {  // "2024-12-07 12:05"
    std::string text;
    appendNumber(text, t.year, 4);
    text += '-';
    appendNumber(text, t.month, 2);
    text += '-';
    appendNumber(text, t.day, 2);
    text += ' ';
    appendNumber(text, t.hour, 2);
    text += ':';
    appendNumber(text, t.minute, 2);
    return text;
}

std::optional<LocalTime> parseTime(const std::string& s) {
    static constexpr char kShape[] = "0000-00-00 00:00";
    if (s.size() != sizeof kShape - 1) return std::nullopt;
    int fields[5] = {};
    int field = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (kShape[i] != '0') {
            if (s[i] != kShape[i]) return std::nullopt;
            ++field;
        } else if (s[i] >= '0' && s[i] <= '9') {
            fields[field] = fields[field] * 10 + (s[i] - '0');
        } else {
            return std::nullopt;
        }
    }
    const LocalTime t{fields[0], fields[1], fields[2], fields[3], fields[4]};
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59)
        return std::nullopt;
    return t;
}

// The next line of `s` from `pos`, without its line break; nullopt when none ends.
std::optional<std::string> line(const std::string& s, std::size_t& pos) {
    const std::size_t end = s.find("\r\n", pos);
    if (end == std::string::npos) return std::nullopt;
    std::string out = s.substr(pos, end - pos);
    pos = end + 2;
    return out;
}

}  // namespace

std::string formatCache(const std::wstring& location, const LocalTime& fetched,
                        const std::string& bytes) {
    return codec::toUtf8(location) + "\r\n" + timeText(fetched) + "\r\n" + bytes;
}

std::optional<CachedCopy> parseCache(const std::string& contents, const std::wstring& location) {
    std::size_t pos = 0;
    const auto from = line(contents, pos);
    if (!from || codec::fromUtf8(*from) != location) return std::nullopt;
    const auto when = line(contents, pos);
    const auto time = when ? parseTime(*when) : std::nullopt;
    if (!time) return std::nullopt;
    return CachedCopy{contents.substr(pos), *time};
}

std::vector<ReplyGroup> replyGroupsOf(const TeamLibrary& library) {
    std::vector<ReplyGroup> groups;
    groups.reserve(library.groups.size());
    for (const TeamGroup& g : library.groups) {
        ReplyGroup& out = groups.emplace_back();
        out.name = g.name;
        out.rows.reserve(g.replies.size());
        for (const TeamReply& r : g.replies) {
            Reply& row = out.rows.emplace_back();
            setReplyText(row, r.text);
            setReplyIcon(row, r.icon >= 0 && r.icon <= 9 ? static_cast<wchar_t>(L'0' + r.icon)
                                                         : L' ');
        }
    }
    return groups;
}

}  // namespace replybar::team
