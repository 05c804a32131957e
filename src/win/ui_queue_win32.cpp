#include "win/ui_queue_win32.h"

#include <deque>
#include <mutex>
#include <utility>

#include "win/private_messages.h"
#include "win/window_class.h"

namespace replybar::win {

namespace {
constexpr wchar_t kClassName[] = L"ReplyBar.Queue";
}  // namespace

struct UiQueue::Poster::State {
    std::mutex mutex;
    std::deque<std::function<void()>> work;
    HWND window = nullptr;  // nullptr once the queue is gone
};

UiQueue::UiQueue() {
    registerWindowClass<UiQueue>(kClassName);
    poster_.state_ = std::make_shared<Poster::State>();
    ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                      ::GetModuleHandleW(nullptr), this);
    poster_.state_->window = hwnd_;
}

UiQueue::~UiQueue() {
    std::deque<std::function<void()>> dropped;
    {
        const std::lock_guard<std::mutex> lock(poster_.state_->mutex);
        poster_.state_->window = nullptr;
        dropped.swap(poster_.state_->work);
    }
    for (const auto& [delay, work] : delays_) ::KillTimer(hwnd_, delay);
    if (hwnd_) ::DestroyWindow(hwnd_);
    // `dropped` goes here, on this thread, with whatever its work held.
}

bool UiQueue::Poster::post(std::function<void()> work) const {
    if (!state_) return false;
    const std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->window) return false;
    // One message wakes the thread for everything queued until it runs.
    if (state_->work.empty() && !::PostMessageW(state_->window, kRunQueued, 0, 0)) return false;
    state_->work.push_back(std::move(work));
    return true;
}

void UiQueue::runQueued() {
    std::deque<std::function<void()>> batch;
    {
        const std::lock_guard<std::mutex> lock(poster_.state_->mutex);
        batch.swap(poster_.state_->work);
    }
    for (auto& work : batch) work();
}

UiQueue::Delay UiQueue::after(unsigned ms, std::function<void()> work) {
    const Delay id = ++lastDelay_;
    if (!hwnd_ || !::SetTimer(hwnd_, id, ms, nullptr)) return 0;
    delays_[id] = std::move(work);
    return id;
}

void UiQueue::callOff(Delay delay) {
    if (!delay || !delays_.erase(delay)) return;
    ::KillTimer(hwnd_, delay);
}

LRESULT UiQueue::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Nothing unwinds through a window procedure: work that throws is dropped.
    try {
        if (msg == kRunQueued) {
            runQueued();
            return 0;
        }
        if (msg == WM_TIMER) {
            ::KillTimer(hwnd_, wp);
            const auto it = delays_.find(wp);
            if (it == delays_.end()) return 0;
            const std::function<void()> work = std::move(it->second);
            delays_.erase(it);
            work();
            return 0;
        }
    } catch (...) {
        return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace replybar::win
