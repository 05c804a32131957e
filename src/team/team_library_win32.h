// The team library as the bar holds it: the version in use and its groups, the local copy it
// starts from, and the watch that reads the source off the bar's thread. Outcomes come back to
// the bar's thread through its queue and are taken there, so the groups only ever change there.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/ports.h"
#include "core/replies.h"
#include "team/team_source_win32.h"
#include "team/team_version.h"
#include "win/ui_queue_win32.h"

namespace replybar {

class TeamLibraryHolder {
public:
    // `cacheFolder` ends with "\" (the user's local application data for the program); ""
    // keeps no copy. `news` runs on the bar's thread, through `queue`, when outcomes came.
    TeamLibraryHolder(win::UiQueue::Poster queue, std::function<void()> news, IFiles& files,
                      std::wstring cacheFolder);
    ~TeamLibraryHolder();

    // The location set (a path or an address; "" for none): the copy of that location is shown
    // at once and the source is read again. The same location as now only checks again.
    void setLocation(const std::wstring& location, int checkSeconds);
    // Every outcome that came is applied. True when the groups changed.
    bool takeOutcomes();

    // The groups in use; none without a library.
    // A version the panel keeps while it shows it: a new one never changes it under the panel.
    const std::shared_ptr<const std::vector<ReplyGroup>>& groups() const { return groups_; }
    // The settings frame's status line: "" without a library.
    std::wstring status() const;
    const std::wstring& location() const { return location_; }

private:
    struct Mailbox {
        std::mutex lock;
        std::deque<team::FetchOutcome> outcomes;
        win::UiQueue::Poster queue;
        std::function<void()> news;  // used on the bar's thread only
        bool closed = false;
    };
    void useVersion();
    void writeCache();

    IFiles& files_;
    std::wstring cacheFolder_;
    std::wstring location_;
    std::shared_ptr<Mailbox> mailbox_;
    std::optional<team::TeamVersion> version_;
    std::unique_ptr<team::TeamSourceWatch> watch_;
    std::shared_ptr<const std::vector<ReplyGroup>> groups_;
};

}  // namespace replybar
