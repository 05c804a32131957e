// When each reply was last picked, so that a search can put the replies the user reaches for
// first. The agent's own replies are known by their text (group ""), the team's by their group
// and text: a team group always has a name, so the two never meet.
//
// The history is one file in the data folder beside the replies, UTF-8, one line per reply,
// newest first: the time, a tab, the group, a tab, the text, each line ending in CR LF.
// Backslash, tab, CR and LF in a group or text are written as \\, \t, \r and \n, so every entry
// is one line and a damaged line costs only its own entry. The file holds at most the latest few
// thousand picks. History is a convenience: a missing, damaged or unwritable file means less of
// it, never a message. Nothing of it leaves the file.
//
// A pick is only remembered on the bar's thread (PickHistory::picked). The file is written
// later, off that thread (PickHistoryWriter), by writePicks: it reads the file first and keeps,
// per reply, the later of the two times, so what another copy of the bar wrote meanwhile (a
// second machine on the same profile, a restart) stays. A file that is there but cannot be read
// (another program holds it) is never written over: the picks wait for the next write.
//
// Times are seconds since 1970. A time later than now comes from a clock that was set back or
// from another machine's clock ahead of ours. Such an entry is kept, so no history is lost, but
// counts as picked now when the file is loaded, and as picked just before the picks being
// written at a merge: a line dated 9999 pins nothing, and the reply picked last stays the latest.
// A time past the end of the year 9999 is a damaged line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/ports.h"

namespace replybar {

inline constexpr wchar_t kPickHistoryFileName[] = L"history.txt";

// Replies and when each was last picked. Where two times of one reply meet, the later is kept.
class PickTimes {
public:
    // 0 when never.
    std::int64_t lastPicked(const std::wstring& group, const std::wstring& text) const;
    void keep(const std::wstring& group, const std::wstring& text, std::int64_t time);
    void keepAll(const PickTimes& other);
    // The greatest and the smallest time held; 0 when empty.
    std::int64_t latest() const { return latest_; }
    std::int64_t earliest() const;
    std::size_t size() const;
    bool empty() const { return groups_.empty(); }

private:
    friend std::string formatPickHistory(PickTimes& times);

    using Times = std::unordered_map<std::wstring, std::int64_t>;  // by text
    std::unordered_map<std::wstring, Times> groups_;  // by group name, "" for the own replies
    std::int64_t latest_ = 0;
};

// The entries of the file's bytes; damaged lines are skipped, and a time later than `now`
// counts as `future` (at most `now`).
PickTimes parsePickHistory(std::string_view bytes, std::int64_t now, std::int64_t future);

// The file's bytes, newest first. Beyond the limits the oldest picks go, from `times` too, so
// that they hold what the file holds. The newest pick is kept whatever its length.
std::string formatPickHistory(PickTimes& times);

// Adds `picks` to what the file at `path` holds and replaces it in one step, without waiting for
// the disk. Returns what the file holds now; nullopt when it was not written: it is there but
// could not be read, or the write failed (the old file is then left whole). Runs on the
// writer's thread: nothing here touches the bar.
std::optional<PickTimes> writePicks(IFiles& files, const std::wstring& path, const PickTimes& picks,
                                    std::int64_t now);

// The history the search reads, on the bar's thread.
class PickHistory {
public:
    // `path` is the whole path of the file; "" when the system gave no data folder: picks are
    // then remembered until the bar closes, and nothing is read.
    PickHistory(IFiles& files, std::wstring path);

    // Replaces what is remembered with what the file holds, a time later than `now` as `now`.
    // A missing file, or one that cannot be read now, is an empty history.
    void load(std::int64_t now);

    // When the reply was last picked, in the caller's seconds; 0 when never. Later picks have
    // greater times.
    std::int64_t lastPicked(const std::wstring& group, const std::wstring& text) const {
        return times_.lastPicked(group, text);
    }

    // Remembers the pick at `now` (seconds since 1970) and returns the time kept: `now`, or one
    // more than the latest pick when the clock was set back or the picks came within the same
    // second, so the latest pick always counts as the latest. Nothing is written here.
    std::int64_t picked(const std::wstring& group, const std::wstring& text, std::int64_t now);

    // What the file held after a write (this bar's picks and those of other copies): kept
    // where it is later.
    void takeIn(const PickTimes& file) { times_.keepAll(file); }

    // How many replies the history holds.
    std::size_t size() const { return times_.size(); }

private:
    IFiles& files_;
    std::wstring path_;
    PickTimes times_;
};

}  // namespace replybar
