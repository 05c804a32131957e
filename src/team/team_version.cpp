#include "team/team_version.h"

#include "team/team_texts.h"

namespace replybar::team {
namespace {

bool sameDay(const LocalTime& a, const LocalTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

// "今天", "12月7日", or with the year when it is not this one.
std::wstring dayText(const LocalTime& t, const LocalTime& now) {
    if (sameDay(t, now)) return L"今天";
    std::wstring day = std::to_wstring(t.month) + L"月" + std::to_wstring(t.day) + L"日";
    return t.year == now.year ? day : std::to_wstring(t.year) + L"年" + day;
}

std::wstring timeText(const LocalTime& t) {
    return std::to_wstring(t.hour) + (t.minute < 10 ? L":0" : L":") + std::to_wstring(t.minute);
}

}  // namespace

Fetched parseFetched(std::string bytes, LocalTime time) {
    TeamParse parsed = readTeamCsv(bytes);
    return Fetched{std::move(bytes), time, std::move(parsed)};
}

TeamVersion::TeamVersion(std::optional<CachedCopy> cached) {
    if (!cached) return;
    TeamParse parsed = readTeamCsv(cached->bytes);
    if (auto* library = std::get_if<TeamLibrary>(&parsed)) {
        library_ = std::move(*library);
        bytes_ = std::move(cached->bytes);
        fetched_ = cached->fetched;
    }
}

TeamVersion::Step TeamVersion::apply(const FetchOutcome& outcome) {
    if (const auto* fetched = std::get_if<Fetched>(&outcome)) return applyFetched(*fetched);
    if (const auto* unreachable = std::get_if<Unreachable>(&outcome)) {
        unreachable_ = unreachable->reason;
        return {};
    }
    // Unchanged: the source answers again, and still holds what was last read from it, or, when
    // nothing was read yet this run, the version of the local copy.
    unreachable_.reset();
    if (lastRead_ == LastRead::Nothing && library_) lastRead_ = LastRead::Good;
    return {};
}

TeamVersion::Step TeamVersion::applyFetched(const Fetched& fetched) {
    unreachable_.reset();
    if (const auto* error = std::get_if<CsvError>(&fetched.parsed)) {
        lastRead_ = LastRead::Faulty;
        fault_ = *error;
        return {};
    }
    lastRead_ = LastRead::Good;
    if (library_ && fetched.bytes == bytes_) return {};
    const auto& library = std::get<TeamLibrary>(fetched.parsed);
    Step step{true, !library_ || !(*library_ == library)};
    library_ = library;
    bytes_ = fetched.bytes;
    fetched_ = fetched.time;
    return step;
}

std::wstring TeamVersion::statusText(const LocalTime& now) const {
    if (unreachable_)
        return library_ ? texts::teamOffline(*unreachable_, dayText(fetched_, now))
                        : texts::teamUnreachable(*unreachable_);
    if (lastRead_ == LastRead::Faulty) {
        const std::wstring where =
            fault_.line > 0 ? L"第 " + std::to_wstring(fault_.line) + L" 行" : fault_.reason;
        return texts::teamFileFaulty(where, library_.has_value());
    }
    if (library_)
        return texts::teamUpToDate(library_->replyCount(),
                                   dayText(fetched_, now) + L" " + timeText(fetched_));
    return texts::kTeamReading;
}

SettleWatch::Verdict SettleWatch::observe(const FileStamp& seen, std::int64_t nowMs) {
    if (!seen_ || !(*seen_ == seen) || nowMs < since_) {
        seen_ = seen;
        since_ = nowMs;
        told_ = false;
        return Verdict::Wait;
    }
    if (nowMs - since_ < settleMs_) return Verdict::Wait;
    if (told_) return Verdict::AlreadyRead;
    told_ = true;
    return Verdict::ReadNow;
}

namespace {

std::wstring baseNameFolded(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    for (wchar_t& c : name)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return name;
}

bool allDigits(const std::wstring& s) {
    if (s.empty()) return false;
    for (wchar_t c : s)
        if (c < L'0' || c > L'9') return false;
    return true;
}

}  // namespace

bool isSyncConflictCopy(const std::wstring& fileName, const std::wstring& libraryFileName) {
    const std::wstring name = baseNameFolded(fileName);
    const std::wstring library = baseNameFolded(libraryFileName);
    const std::size_t dot = library.rfind(L'.');
    const std::wstring stem = dot == std::wstring::npos ? library : library.substr(0, dot);
    const std::wstring ext = dot == std::wstring::npos ? L"" : library.substr(dot);
    if (stem.empty() || name == library || !name.starts_with(stem)) return false;
    std::wstring rest = name.substr(stem.size());
    // What follows the name in a copy: a mark of its own, never more letters of a longer name.
    if (rest.empty() || std::wstring(L" -_(.（").find(rest[0]) == std::wstring::npos) return false;
    if (rest.starts_with(L".sync-conflict-")) return true;  // kept beside it with any ending
    if (rest.find(L"冲突") != std::wstring::npos) return true;
    if (!rest.ends_with(ext)) return false;
    rest.resize(rest.size() - ext.size());
    if (rest.starts_with(L" ")) rest.erase(0, 1);
    if (rest.starts_with(L"(") && rest.ends_with(L")")) {
        const std::wstring inside = rest.substr(1, rest.size() - 2);
        return allDigits(inside) || inside.find(L"conflict") != std::wstring::npos;
    }
    return rest.size() > 1 && rest[0] == L'-';  // "-" and the name of the computer
}

}  // namespace replybar::team
