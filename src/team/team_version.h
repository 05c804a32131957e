// Which version of the team library is in use, and what the settings frame's status line says
// about it. Driven by the outcomes of reading the source (a path or an address), which the caller
// gets off the bar's thread; the time comes from the caller too, so nothing here reads a clock.
//
// The version in use is the last one that parsed completely: the copy kept from an earlier run
// at first, then each new good version read. A faulty file or an unreachable source never takes
// it away. Only a new good version is written to the local copy, with the time it was read, and
// that time is what the status line tells ("12月7日 12:05 更新"): when the bar got the version
// it uses, which an unchanged answer from the source does not move.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/local_time.h"
#include "team/team_csv.h"

namespace replybar::team {

// Local time, filled by the caller.
using replybar::LocalTime;

// The local copy of an earlier run.
struct CachedCopy {
    std::string bytes;
    LocalTime fetched;
};

// Outcomes of one reading of the source.
struct Fetched {  // new bytes, parsed completely (parseFetched) before they reach the rule
    std::string bytes;
    LocalTime time;
    TeamParse parsed;
};
struct Unchanged {  // HTTP 304, or the same size and modification time as the last read
    LocalTime time;
};
struct Unreachable {  // no answer, an error, a time limit passed; `reason` for the status line
    LocalTime time;
    std::wstring reason;
};
using FetchOutcome = std::variant<Fetched, Unchanged, Unreachable>;

// Parses `bytes`; meant for the reading thread, so that the bar's thread only swaps versions.
Fetched parseFetched(std::string bytes, LocalTime time);

class TeamVersion {
public:
    // A copy that no longer parses is not used.
    explicit TeamVersion(std::optional<CachedCopy> cached);

    struct Step {
        bool writeCache = false;      // write bytesInUse() and fetchedAt() as the local copy
        bool libraryChanged = false;  // the replies shown are different now
    };
    Step apply(const FetchOutcome& outcome);

    // nullptr while no version is in use.
    const TeamLibrary* library() const { return library_ ? &*library_ : nullptr; }
    const std::string& bytesInUse() const { return bytes_; }
    LocalTime fetchedAt() const { return fetched_; }
    std::wstring statusText(const LocalTime& now) const;

private:
    Step applyFetched(const Fetched& fetched);

    enum class LastRead { Nothing, Good, Faulty };
    std::optional<TeamLibrary> library_;
    std::string bytes_;
    LocalTime fetched_;
    LastRead lastRead_ = LastRead::Nothing;
    CsvError fault_;
    std::optional<std::wstring> unreachable_;  // the reason, while the source cannot be read
};

// A file that is being written is read only once it has stayed the same for the settle time: fed
// each observation of its size and modification stamp with the time (a monotonic clock). A file
// saved in place grows in pieces, and a sync client on a slow link or a program that writes as
// it goes may pause up to 10 s between them; every pause looks like a finished file, and one
// that falls at a line end even parses. So the settle time is longer than the longest pause.
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};

class SettleWatch {
public:
    static constexpr std::int64_t kSettleMs = 12000;
    explicit SettleWatch(std::int64_t settleMs = kSettleMs) : settleMs_(settleMs) {}
    enum class Verdict {
        Wait,         // new, or changed within the settle time
        ReadNow,      // settled: read it (said once per settled state)
        AlreadyRead,  // settled and said before: the source is unchanged
    };
    Verdict observe(const FileStamp& seen, std::int64_t nowMs);
    // The read did not succeed: the same settled state asks to be read again.
    void readFailed() { told_ = false; }

private:
    std::int64_t settleMs_;
    std::optional<FileStamp> seen_;
    std::int64_t since_ = 0;
    bool told_ = false;
};

// Whether `fileName` is a copy a sync client leaves beside `libraryFileName` in a conflict
// ("团队回复 (1).csv", "团队回复-冲突副本….csv", "团队回复.sync-conflict-….csv",
// "团队回复 (某人's conflicted copy ….).csv", "团队回复-PC-name.csv"). Such copies are never read.
// Names compare without regard to ASCII case, as Windows does; a path before a name is ignored.
bool isSyncConflictCopy(const std::wstring& fileName, const std::wstring& libraryFileName);

}  // namespace replybar::team
