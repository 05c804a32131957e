// Reads the team library's file where the lead publishes it — a path (a drive, a mapped drive,
// \\server\share\…, a folder a sync client keeps) or an http(s):// address — off the bar's
// thread, and tells every outcome.
//
// Nothing here ever makes its caller wait on the source. Each step that touches the source
// (a look at the file, a read, one HTTP exchange, setting up the folder's change notification)
// runs on a thread of its own and is waited for at most readLimitMs; one that takes longer is
// told as Unreachable ("无响应") and left to end by itself. On a path no new step starts before
// it has. An address's read goes on under its own deadlines (webLimits) and its answer is told
// when it comes; meanwhile the next check asks afresh, with at most one read left behind.
//
// A path: the file is read only once its size and modification time have stayed the same for
// twelve seconds (SettleWatch), so a file being saved is never read half-way, even by a writer
// that pauses up to 10 s between writes; the same settled file again is Unchanged. A change in
// its folder starts a check within ten seconds (a random moment, CheckSchedule) where the
// folder's change notification works; the notification is set up again after any look that
// failed and every few minutes, since one that died with a server restart or a reconnect is
// never signalled. A path that cannot be looked at is tried again within seconds, and "not
// found" right after a good read is waited out for ten seconds (MissingGrace). Everywhere a
// check runs every checkSeconds too, on a beat of this watch's own within the period.
// An address: a conditional GET with the validators of the last good answer, so an unchanged
// file costs one short answer (304: Unchanged), through the user's proxy; an answer cut short is
// Unreachable ("连接中断").
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "team/read_deadline.h"
#include "team/team_version.h"

namespace replybar::team {

class TeamSourceWatch {
public:
    struct Options {
        std::wstring location;                           // a path or an http:// / https:// address
        int checkSeconds = 60;                           // the regular check
        int readLimitMs = 10000;                         // one step may take this long
        std::int64_t settleMs = SettleWatch::kSettleMs;  // a path is read once unchanged this long
        ReadDeadline::Limits webLimits = {};             // an address's read in all, and silent
    };
    // `deliver` is called on the watch's own thread with every outcome, never after the
    // destructor has returned. While a file settles nothing is told. The first check starts at
    // once; the constructor does not wait for it.
    TeamSourceWatch(Options options, std::function<void(FetchOutcome)> deliver);
    // Returns at once, also while a step hangs: that step ends by itself later.
    ~TeamSourceWatch();
    TeamSourceWatch(const TeamSourceWatch&) = delete;
    TeamSourceWatch& operator=(const TeamSourceWatch&) = delete;

    // A check now rather than at the next regular one (the network came back, say).
    void checkNow();

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

// Whether `location` is read over HTTP rather than as a file.
bool isWebAddress(const std::wstring& location);

}  // namespace replybar::team
