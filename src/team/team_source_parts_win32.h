// What the team library's watch and its two kinds of source share: the source interface and
// the way a step that may block on the source is run.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "team/read_deadline.h"
#include "team/team_version.h"
#include "win/handles.h"
#include "win/shell_win32.h"
#include "win/thread_win32.h"

namespace replybar::team {

inline std::int64_t monotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

inline LocalTime localNow() { return win::localTimeNow(); }

// A step's result that holds only why it failed.
template <typename T>
T failure(DWORD error) {
    T result;
    result.error = error;
    return result;
}

inline Unreachable unreachable(std::wstring reason) { return {localNow(), std::move(reason)}; }

// Runs one step that may block on the source on a thread of its own and waits for it at most
// `limitMs`. A step still running then goes on detached; whatever it returns late is dropped
// with the last reference to its state, and `late` expires once it has ended.
template <typename T, typename Work>
std::optional<T> runLimited(Work work, int limitMs, std::weak_ptr<void>& late) {
    struct State {
        win::UniqueKernelHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        std::optional<T> result;  // the step's thread writes it before `done` is set
    };
    auto state = std::make_shared<State>();
    if (!state->done || !win::startThread([state, work = std::move(work)]() mutable {
            state->result = work();
            ::SetEvent(state->done.get());
        }))
        return std::nullopt;  // no thread to be had: told like a source that does not answer
    if (::WaitForSingleObject(state->done.get(), static_cast<DWORD>(limitMs)) == WAIT_OBJECT_0)
        return std::move(state->result);
    late = state;
    return std::nullopt;
}

class Source {
public:
    virtual ~Source() = default;
    // One check; nothing while a file settles.
    virtual std::optional<FetchOutcome> check() = 0;
    // Whether the next check should come soon (a file is settling).
    virtual bool settling() const { return false; }
    // Whether the last check could not look at the source and should be tried again soon.
    virtual bool lookFailed() const { return false; }
    // Sets up the change notification where there is one to have: a handle that is signalled
    // at a change, or none.
    virtual HANDLE changeNotice() { return nullptr; }
    virtual void changeNoticed() {}
    // A handle that is signalled when a step the watch stopped waiting for has ended, or none;
    // then the outcome it brought, if it is still to be told.
    virtual HANDLE lateNotice() { return nullptr; }
    virtual std::optional<FetchOutcome> takeLate() { return std::nullopt; }
};

std::unique_ptr<Source> makeFileSource(std::wstring path, int limitMs, std::int64_t settleMs);
std::unique_ptr<Source> makeAddressSource(std::wstring address, int limitMs,
                                          ReadDeadline::Limits limits);

}  // namespace replybar::team
