#include "team/team_cache.h"

#include <cstdio>

#include "core/codec.h"

namespace replybar::team {
namespace {

std::string timeText(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    return buf;
}

// "YYYY-MM-DD HH:MM", as timeText writes it, and nothing else.
std::optional<LocalTime> parseTime(const std::string& s) {
    static constexpr char kShape[] = "0000-00-00 00:00";
    if (s.size() != sizeof kShape - 1) return std::nullopt;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (kShape[i] == '0' ? (s[i] < '0' || s[i] > '9') : s[i] != kShape[i]) return std::nullopt;
    const auto number = [&](std::size_t at, std::size_t digits) {
        int n = 0;
        for (std::size_t i = at; i < at + digits; ++i) n = n * 10 + (s[i] - '0');
        return n;
    };
    LocalTime t;
    t.year = number(0, 4);
    t.month = number(5, 2);
    t.day = number(8, 2);
    t.hour = number(11, 2);
    t.minute = number(14, 2);
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 || t.hour > 23 ||
        t.minute < 0 || t.minute > 59)
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
