#include "bar/click_watch_win32.h"

namespace replybar {

namespace {

constexpr UINT kSetHook = WM_APP + 1;  // wParam: 1 to set, 0 to remove

// The hook procedure has no other way to find who to tell: one watch per process.
std::atomic<HWND> g_bar{nullptr};
std::atomic<UINT> g_clicked{0};

LRESULT CALLBACK mouseHookProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && (wp == WM_LBUTTONDOWN || wp == WM_RBUTTONDOWN ||
                              wp == WM_MBUTTONDOWN || wp == WM_XBUTTONDOWN))
        if (const HWND bar = g_bar.load()) ::PostMessageW(bar, g_clicked.load(), 0, 0);
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

ClickWatch::ClickWatch(HWND bar, UINT clicked, UINT failed)
    : bar_(bar), clicked_(clicked), failed_(failed) {
    g_bar = bar;
    g_clicked = clicked;
    ready_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { run(); });
    // The thread's message queue must be there before the first request is posted to it.
    if (ready_) ::WaitForSingleObject(ready_, 5000);
}

ClickWatch::~ClickWatch() {
    if (threadId_) ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    if (thread_.joinable()) thread_.join();
    if (ready_) ::CloseHandle(ready_);
    g_bar = nullptr;
}

void ClickWatch::watch(bool on) {
    if (on == wanted_) return;
    wanted_ = on;
    if (!threadId_ || !::PostThreadMessageW(threadId_, kSetHook, on ? 1 : 0, 0))
        if (on) ::PostMessageW(bar_, failed_, 0, 0);
}

void ClickWatch::run() {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
    threadId_ = ::GetCurrentThreadId();
    if (ready_) ::SetEvent(ready_);
    HHOOK hook = nullptr;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message != kSetHook) continue;
        if (msg.wParam && !hook) {
            hook = ::SetWindowsHookExW(WH_MOUSE_LL, mouseHookProc, ::GetModuleHandleW(nullptr), 0);
            if (!hook) ::PostMessageW(bar_, failed_, 0, 0);
        } else if (!msg.wParam && hook) {
            ::UnhookWindowsHookEx(hook);
            hook = nullptr;
        }
    }
    if (hook) ::UnhookWindowsHookEx(hook);
}

}  // namespace replybar
