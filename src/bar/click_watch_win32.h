// Clicks anywhere on the desktop while keyboard mode lasts, told to the bar. A low-level mouse
// hook runs on the thread that set it, and every click on the system waits for that thread's
// answer: on the bar's thread it would wait whenever the bar is busy (sending keys, waiting
// for the target to take them), and Windows drops a hook that keeps it waiting. So the hook
// lives on a thread of its own that does nothing else, and only tells the bar that a button
// went down; where the click went the bar decides on its own thread, in its own coordinates.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

namespace replybar {

class ClickWatch {
public:
    // `clicked` is posted to `bar` at each button press; `failed` when the hook could not be
    // set.
    ClickWatch(HWND bar, UINT clicked, UINT failed);
    ~ClickWatch();
    ClickWatch(const ClickWatch&) = delete;
    ClickWatch& operator=(const ClickWatch&) = delete;

    // Sets or removes the hook; the thread does it, so the bar never waits for it.
    void watch(bool on);
    bool watching() const { return wanted_; }

private:
    void run();

    HWND bar_;
    UINT clicked_, failed_;
    std::thread thread_;
    std::atomic<DWORD> threadId_{0};
    HANDLE ready_ = nullptr;
    bool wanted_ = false;
};

}  // namespace replybar
