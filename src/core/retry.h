// Waiting out a program that holds a file for a moment: a virus scanner or an indexer opens a
// file just written, a sync client reads it, and for that moment it can be neither replaced,
// renamed nor deleted. Such a step is tried again after growing pauses, about one second in all,
// before the user is told.
#pragma once

namespace replybar {

// The pause in milliseconds before try number `attempt` + 1 (attempt 1 is the first try), or 0
// when no further try is left.
unsigned retryPauseMs(int attempt);

// Runs `step` (returns 0 on success, else an error code) until it succeeds, fails with an error
// that `worthWaiting` does not accept, or the pauses are used up; `sleep(ms)` waits. Returns the
// last try's result.
template <class Step, class WorthWaiting, class Sleep>
unsigned long retryBriefly(Step step, WorthWaiting worthWaiting, Sleep sleep) {
    for (int attempt = 1;; ++attempt) {
        const unsigned long error = step();
        if (error == 0 || !worthWaiting(error)) return error;
        const unsigned pause = retryPauseMs(attempt);
        if (pause == 0) return error;
        sleep(pause);
    }
}

}  // namespace replybar
