#include "search/pick_history.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "core/codec.h"

namespace replybar {
namespace {

// Enough for every reply of a large team library; the file stays a few hundred KB at most, even
// when some of the texts are long. The latest pick is kept whatever its length.
constexpr std::size_t kMaxEntries = 5000;
constexpr std::size_t kMaxBytes = 512 * 1024;
// The end of the year 9999: a larger time is a damaged line, and leaves room to count up.
constexpr std::int64_t kLatestTime = 253402300799;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void appendEscaped(std::string& out, const std::wstring& text) {
    for (const char c : codec::toUtf8(text)) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out.push_back(c);
        }
    }
}

// The text of an escaped field; nullopt for an unknown escape or bytes that are not UTF-8.
std::optional<std::wstring> unescaped(std::string_view field) {
    std::string bytes;
    bytes.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            bytes.push_back(field[i]);
            continue;
        }
        if (++i == field.size()) return std::nullopt;
        switch (field[i]) {
            case '\\': bytes.push_back('\\'); break;
            case 't': bytes.push_back('\t'); break;
            case 'r': bytes.push_back('\r'); break;
            case 'n': bytes.push_back('\n'); break;
            default: return std::nullopt;
        }
    }
    std::wstring text = codec::fromUtf8(bytes);
    if (codec::toUtf8(text) != bytes) return std::nullopt;
    return text;
}

std::optional<std::int64_t> timeOf(std::string_view field) {
    std::int64_t time = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), time);
    if (error != std::errc() || end != field.data() + field.size() || field[0] == '-')
        return std::nullopt;
    if (time < 1 || time > kLatestTime) return std::nullopt;
    return time;
}

struct Entry {
    std::int64_t time;
    std::wstring group, text;
};

// One line without its line break: time, group and text between tabs; nullopt when damaged.
std::optional<Entry> parseLine(std::string_view line) {
    const std::size_t tab1 = line.find('\t');
    if (tab1 == std::string_view::npos) return std::nullopt;
    const std::size_t tab2 = line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos)
        return std::nullopt;
    const auto time = timeOf(line.substr(0, tab1));
    auto group = unescaped(line.substr(tab1 + 1, tab2 - tab1 - 1));
    auto text = unescaped(line.substr(tab2 + 1));
    if (!time || !group || !text) return std::nullopt;
    return Entry{*time, std::move(*group), std::move(*text)};
}

}  // namespace

std::int64_t PickTimes::lastPicked(const std::wstring& group, const std::wstring& text) const {
    const auto g = groups_.find(group);
    if (g == groups_.end()) return 0;
    const auto t = g->second.find(text);
    return t == g->second.end() ? 0 : t->second;
}

void PickTimes::keep(const std::wstring& group, const std::wstring& text, std::int64_t time) {
    std::int64_t& kept = groups_[group][text];
    kept = std::max(kept, time);
    latest_ = std::max(latest_, time);
}

void PickTimes::keepAll(const PickTimes& other) {
    for (const auto& [group, times] : other.groups_)
        for (const auto& [text, time] : times) keep(group, text, time);
}

std::int64_t PickTimes::earliest() const {
    std::int64_t first = 0;
    for (const auto& [group, times] : groups_)
        for (const auto& [text, time] : times) first = first == 0 ? time : std::min(first, time);
    return first;
}

std::size_t PickTimes::size() const {
    std::size_t n = 0;
    for (const auto& [group, times] : groups_) n += times.size();
    return n;
}

PickTimes parsePickHistory(std::string_view bytes, std::int64_t now, std::int64_t future) {
    PickTimes times;
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size());
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (auto entry = parseLine(line))
            times.keep(entry->group, entry->text,
                       entry->time > now ? std::min(future, now) : entry->time);
    }
    return times;
}

std::string formatPickHistory(PickTimes& times) {
    struct Ref {
        std::int64_t time;
        const std::wstring* group;
        const std::wstring* text;
    };
    std::vector<Ref> refs;
    for (const auto& [group, texts] : times.groups_)
        for (const auto& [text, time] : texts) refs.push_back({time, &group, &text});
    std::sort(refs.begin(), refs.end(), [](const Ref& a, const Ref& b) {
        return std::tie(b.time, *b.group, *b.text) < std::tie(a.time, *a.group, *a.text);
    });
    std::string bytes;
    std::size_t kept = 0;
    for (; kept < refs.size() && kept < kMaxEntries; ++kept) {
        const std::size_t before = bytes.size();
        bytes += std::to_string(refs[kept].time);
        bytes.push_back('\t');
        appendEscaped(bytes, *refs[kept].group);
        bytes.push_back('\t');
        appendEscaped(bytes, *refs[kept].text);
        bytes += "\r\n";
        if (kept > 0 && bytes.size() > kMaxBytes) {
            bytes.resize(before);
            break;
        }
    }
    std::vector<std::pair<std::wstring, std::wstring>> dropped;
    for (std::size_t i = kept; i < refs.size(); ++i)
        dropped.emplace_back(*refs[i].group, *refs[i].text);
    for (const auto& [group, text] : dropped) {
        const auto g = times.groups_.find(group);
        g->second.erase(text);
        if (g->second.empty()) times.groups_.erase(g);
    }
    return bytes;
}

std::optional<PickTimes> writePicks(IFiles& files, const std::wstring& path, const PickTimes& picks,
                                    std::int64_t now) {
    PickTimes file;
    if (const std::optional<std::string> bytes = files.readAll(path)) {
        // A time from the future goes just before the picks that are written now.
        const std::int64_t beforePicks = picks.empty() ? now : picks.earliest() - 1;
        file = parsePickHistory(*bytes, now, std::max<std::int64_t>(1, beforePicks));
    } else if (files.exists(path)) {
        return std::nullopt;
    }
    file.keepAll(picks);
    const std::string bytes = formatPickHistory(file);
    std::wstring reason;
    if (!files.writeReplace(path, bytes, reason)) return std::nullopt;
    return file;
}

PickHistory::PickHistory(IFiles& files, std::wstring path)
    : files_(files), path_(std::move(path)) {}

void PickHistory::load(std::int64_t now) {
    times_ = {};
    if (path_.empty()) return;
    if (const std::optional<std::string> bytes = files_.readAll(path_))
        times_ = parsePickHistory(*bytes, now, now);
}

std::int64_t PickHistory::picked(const std::wstring& group, const std::wstring& text,
                                 std::int64_t now) {
    const std::int64_t time =
        std::clamp(std::max(now, times_.latest() + 1), std::int64_t{1}, kLatestTime);
    times_.keep(group, text, time);
    return time;
}

}  // namespace replybar
