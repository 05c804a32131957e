// rand_s, for each bar's own beat: declared only when asked for before the C library's headers.
#define _CRT_RAND_S
#include <stdlib.h>

#include "team/team_source_win32.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <utility>

#include "team/team_schedule.h"
#include "team/team_source_parts_win32.h"
#include "win/handles.h"
#include "win/thread_win32.h"

namespace replybar::team {
namespace {

// How often a settling file is looked at again: often enough that it is read soon after the
// settle time, seldom enough that a dozen seconds of settling cost a dozen looks.
constexpr int kSettleLookMs = 1000;
// How long a wait that failed is followed by a pause, so that the loop never spins.
constexpr int kFailedWaitPauseMs = 250;

std::uint32_t randomNumber() {
    unsigned int n = 0;
    if (::rand_s(&n) != 0) n = ::GetTickCount() * 2654435761u;  // a beat of some sort all the same
    return n;
}

}  // namespace

bool isWebAddress(const std::wstring& location) {
    const auto startsWith = [&](const wchar_t* prefix) {
        const std::size_t n = std::char_traits<wchar_t>::length(prefix);
        if (location.size() < n) return false;
        for (std::size_t i = 0; i < n; ++i)
            if ((location[i] >= L'A' && location[i] <= L'Z' ? location[i] - L'A' + L'a'
                                                            : location[i]) != prefix[i])
                return false;
        return true;
    };
    return startsWith(L"http://") || startsWith(L"https://");
}

// Between the watch and its thread, which outlives the watch until its current step is over.
struct TeamSourceWatch::Shared {
    Options options;
    std::function<void(FetchOutcome)> deliver;
    win::UniqueKernelHandle wake{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::mutex deliverMutex;  // held while telling, so the destructor can end the telling
    std::atomic<bool> stopping{false};

    void tell(FetchOutcome outcome) {
        const std::lock_guard<std::mutex> lock(deliverMutex);
        if (!stopping) deliver(std::move(outcome));
    }

    void run() {
        std::unique_ptr<Source> source;
        if (isWebAddress(options.location))
            source = makeAddressSource(options.location, options.readLimitMs, options.webLimits);
        else
            source = makeFileSource(options.location, options.readLimitMs, options.settleMs);
        const std::int64_t periodMs = std::int64_t{std::max(options.checkSeconds, 1)} * 1000;
        CheckSchedule schedule(periodMs, randomNumber, monotonicMs());
        std::int64_t nextCheck = monotonicMs();
        // A notice was heard and the check it brought forward is still to come. Until then the
        // folder is not listened to: a folder whose other files never stop changing must not
        // hold the checks off, nor keep this thread spinning.
        bool heard = false;
        while (!stopping) {
            HANDLE handles[3] = {wake.get(), nullptr, nullptr};
            DWORD count = 1;
            // A read the last check stopped waiting for: its answer is told when it comes.
            const HANDLE late = source->lateNotice();
            if (late) handles[count++] = late;
            const HANDLE notice = heard ? nullptr : source->changeNotice();
            if (notice) handles[count++] = notice;
            const std::int64_t waitMs = std::max<std::int64_t>(nextCheck - monotonicMs(), 0);
            const DWORD woke =
                ::WaitForMultipleObjects(count, handles, FALSE, static_cast<DWORD>(waitMs));
            if (stopping) break;
            if (woke == WAIT_FAILED) ::Sleep(kFailedWaitPauseMs);
            if (late && woke == WAIT_OBJECT_0 + 1) {
                if (std::optional<FetchOutcome> outcome = source->takeLate())
                    tell(std::move(*outcome));
                continue;
            }
            if (notice && woke == WAIT_OBJECT_0 + count - 1) {
                source->changeNoticed();
                // A save signals several times, and other files of the folder signal too: one
                // check follows a burst, after a moment of this bar's own.
                nextCheck = std::min(nextCheck, schedule.afterNotice(monotonicMs()));
                heard = true;
                continue;
            }
            heard = false;
            if (std::optional<FetchOutcome> outcome = source->check()) tell(std::move(*outcome));
            const std::int64_t now = monotonicMs();
            nextCheck = source->settling()     ? now + kSettleLookMs
                        : source->lookFailed() ? schedule.afterFailedLook(now)
                                               : schedule.nextRegular(now);
        }
    }
};

TeamSourceWatch::TeamSourceWatch(Options options, std::function<void(FetchOutcome)> deliver)
    : shared_(std::make_shared<Shared>()) {
    shared_->options = std::move(options);
    shared_->deliver = std::move(deliver);
    // Without a thread nothing is read, and the version in use stays.
    win::startThread([shared = shared_] { shared->run(); });
}

TeamSourceWatch::~TeamSourceWatch() {
    {
        const std::lock_guard<std::mutex> lock(shared_->deliverMutex);
        shared_->stopping = true;
    }
    ::SetEvent(shared_->wake.get());
}

void TeamSourceWatch::checkNow() { ::SetEvent(shared_->wake.get()); }

}  // namespace replybar::team
