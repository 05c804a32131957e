// The team library's file at an http:// or https:// address.
#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <vector>

#include "team/team_http_win32.h"
#include "team/team_source_parts_win32.h"
#include "team/team_texts.h"

namespace replybar::team {
namespace {

// One exchange on a thread of its own, shared by the source and that thread.
struct Read {
    std::uint64_t number = 0;
    win::UniqueKernelHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> answering{false};
    HttpAnswer answer;  // the thread writes it before `done` is set
};

class AddressSource : public Source {
public:
    AddressSource(std::wstring address, int limitMs, ReadDeadline::Limits limits)
        : address_(std::move(address)), limitMs_(limitMs), limits_(limits) {}

    // Each check asks afresh. One that is not answered within the limit is told as slow (or
    // silent) and goes on; its answer is told when it comes (takeLate).
    std::optional<FetchOutcome> check() override {
        const std::optional<std::uint64_t> number = turns_.start();
        if (!number) return unreachable(slowReason(*reads_.back()));
        auto read = std::make_shared<Read>();
        read->number = *number;
        if (!*ended_ || !read->done ||
            !win::startThread(
                [read, ended = ended_, address = address_, last = last_, limits = limits_] {
                    read->answer = exchange(address, last, limits, read->answering);
                    ::SetEvent(read->done.get());
                    ::SetEvent(ended->get());
                })) {
            turns_.ended(*number);
            return unreachable(texts::kSourceNoAnswer);  // no thread to be had
        }
        reads_.push_back(read);
        if (::WaitForSingleObject(read->done.get(), static_cast<DWORD>(limitMs_)) != WAIT_OBJECT_0)
            return unreachable(slowReason(*read));
        return takeLate();
    }

    HANDLE lateNotice() override { return reads_.empty() ? nullptr : ended_->get(); }

    // The answers of the reads that ended, in the order they started; only the newest is told.
    std::optional<FetchOutcome> takeLate() override {
        std::optional<FetchOutcome> told;
        for (auto it = reads_.begin(); it != reads_.end();) {
            if (::WaitForSingleObject((*it)->done.get(), 0) != WAIT_OBJECT_0) {
                ++it;
                continue;
            }
            const std::shared_ptr<Read> read = *it;
            it = reads_.erase(it);
            if (turns_.ended(read->number)) told = outcomeOf(std::move(read->answer));
        }
        return told;
    }

private:
    static const wchar_t* slowReason(const Read& read) {
        return read.answering ? texts::kSourceStillReading : texts::kSourceNoAnswer;
    }

    FetchOutcome outcomeOf(HttpAnswer answer) {
        if (!answer.refused.empty()) return unreachable(std::move(answer.refused));
        if (answer.status == HTTP_STATUS_NOT_MODIFIED) return Unchanged{localNow()};
        Fetched fetched = parseFetched(std::move(answer.body), localNow());
        // Only a good version's validators: after a faulty one the next answer must be whole.
        if (std::holds_alternative<TeamLibrary>(fetched.parsed))
            last_ = std::move(answer.validators);
        else
            last_ = {};
        return fetched;
    }

    std::wstring address_;
    int limitMs_;
    ReadDeadline::Limits limits_;
    Validators last_;
    ReadTurns turns_;
    std::vector<std::shared_ptr<Read>> reads_;  // under way or ended and not yet taken
    // Set by every read that ends, so the watch hears of one it stopped waiting for.
    std::shared_ptr<win::UniqueKernelHandle> ended_ =
        std::make_shared<win::UniqueKernelHandle>(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
};

}  // namespace

std::unique_ptr<Source> makeAddressSource(std::wstring address, int limitMs,
                                          ReadDeadline::Limits limits) {
    return std::make_unique<AddressSource>(std::move(address), limitMs, limits);
}

}  // namespace replybar::team
