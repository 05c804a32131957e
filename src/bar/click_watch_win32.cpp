#include "bar/click_watch_win32.h"

#include <atomic>

#include "win/handles.h"
#include "win/private_messages.h"
#include "win/thread_win32.h"

namespace replybar {

// Between the watch and its thread, which may outlive the watch by a moment.
struct ClickWatch::Shared {
    win::UiQueue::Poster queue;
    std::function<void()> clicked, failed;  // run on the bar's thread only
    win::UniqueKernelHandle ready{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    win::UniqueKernelHandle ended{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<DWORD> threadId{0};

    void tellFailed() {
        queue.post([failed = failed] { failed(); });
    }
    void run();
};

namespace {

constexpr DWORD kStartWaitMs = 5000, kEndWaitMs = 1000;

// The hook procedure has no other way to find who to tell: the thread that set it keeps it here.
thread_local ClickWatch::Shared* t_watch = nullptr;

LRESULT CALLBACK mouseHookProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && t_watch &&
        (wp == WM_LBUTTONDOWN || wp == WM_RBUTTONDOWN || wp == WM_MBUTTONDOWN ||
         wp == WM_XBUTTONDOWN))
        t_watch->queue.post([clicked = t_watch->clicked] { clicked(); });
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

void ClickWatch::Shared::run() {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
    t_watch = this;
    threadId = ::GetCurrentThreadId();
    ::SetEvent(ready.get());
    HHOOK hook = nullptr;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message != win::kSetMouseHook) continue;
        if (msg.wParam && !hook) {
            hook = ::SetWindowsHookExW(WH_MOUSE_LL, mouseHookProc, ::GetModuleHandleW(nullptr), 0);
            if (!hook) tellFailed();
        } else if (!msg.wParam && hook) {
            ::UnhookWindowsHookEx(hook);
            hook = nullptr;
        }
    }
    if (hook) ::UnhookWindowsHookEx(hook);
    t_watch = nullptr;
    ::SetEvent(ended.get());
}

ClickWatch::ClickWatch(win::UiQueue::Poster queue, std::function<void()> clicked,
                       std::function<void()> failed)
    : shared_(std::make_shared<Shared>()) {
    shared_->queue = std::move(queue);
    shared_->clicked = std::move(clicked);
    shared_->failed = std::move(failed);
    // The thread's message queue must be there before the first request is posted to it.
    if (win::startThread([shared = shared_] { shared->run(); }) && shared_->ready)
        ::WaitForSingleObject(shared_->ready.get(), kStartWaitMs);
}

ClickWatch::~ClickWatch() {
    if (const DWORD id = shared_->threadId) {
        ::PostThreadMessageW(id, WM_QUIT, 0, 0);
        if (shared_->ended) ::WaitForSingleObject(shared_->ended.get(), kEndWaitMs);
    }
}

void ClickWatch::watch(bool on) {
    if (on == wanted_) return;
    wanted_ = on;
    const DWORD id = shared_->threadId;
    if (!id || !::PostThreadMessageW(id, win::kSetMouseHook, on ? 1 : 0, 0))
        if (on) shared_->tellFailed();
}

}  // namespace replybar
