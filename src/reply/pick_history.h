// When each reply was last picked, so that a search can put the replies the user reaches for
// first. The agent's own replies are known by their text (group ""), the team's by their group
// and text: a team group always has a name, so the two never meet.
//
// The history is one file in the data folder beside the replies, UTF-8, one line per reply:
// the time, a tab, the group, a tab, the text, each line ending in CR LF. Backslash, tab, CR and
// LF in a group or text are written as \\, \t, \r and \n, so every entry is one line and a
// damaged line costs only its own entry. The file is replaced as one step at each pick and holds
// at most the latest few thousand picks. History is a convenience: a missing, damaged or
// unwritable file means less of it, never a message. Nothing of it leaves the file.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "core/ports.h"

namespace replybar {

inline constexpr wchar_t kPickHistoryFileName[] = L"history.txt";

class PickHistory {
public:
    // `path` is the whole path of the file; "" when the system gave no data folder: picks are
    // then remembered until the bar closes, and nothing is read or written.
    PickHistory(IFiles& files, std::wstring path);

    // Replaces what is remembered with what the file holds. A missing file is an empty history;
    // damaged lines are skipped. A file that is there but cannot be read now (another program
    // holds it) is never written over: a later pick tries again to read it first.
    void load();

    // When the reply was last picked, in the caller's seconds; 0 when never. Later picks have
    // greater times.
    std::int64_t lastPicked(const std::wstring& group, const std::wstring& text) const;

    // Remembers the pick at `now` (seconds since 1970) and writes the file once. The time kept
    // is `now`, or one more than the latest pick when the clock was set back or the picks came
    // within the same second, so the latest pick always counts as the latest. A failed write
    // loses nothing now: the next pick writes this one as well.
    void picked(const std::wstring& group, const std::wstring& text, std::int64_t now);

    // How many replies the history holds.
    std::size_t size() const;

private:
    using Times = std::unordered_map<std::wstring, std::int64_t>;  // by text

    bool readFile();
    void remember(const std::wstring& group, const std::wstring& text, std::int64_t time);
    std::string keepLatest();

    IFiles& files_;
    std::wstring path_;
    std::unordered_map<std::wstring, Times> groups_;  // by group name, "" for the own replies
    std::int64_t latest_ = 0;
    bool fileRead_ = false;  // the file was read, or is not there: writing it loses nothing
};

}  // namespace replybar
