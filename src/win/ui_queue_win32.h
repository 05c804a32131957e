// The one way onto the bar's thread. Any thread posts work; the bar's thread runs it, in the
// order posted, from its message loop, through one message to one message-only window. Work
// still queued when the queue is destroyed is dropped (on the bar's thread), and a post after
// that does nothing: a worker that ends after the bar has closed only frees what it holds.
// Work can also be run once after a delay, on the same thread, and that be called off.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace replybar::win {

class UiQueue {
public:
    UiQueue();  // on the thread that runs the work
    ~UiQueue();
    UiQueue(const UiQueue&) = delete;
    UiQueue& operator=(const UiQueue&) = delete;

    // What a worker keeps to post with, also after the queue is gone.
    class Poster {
    public:
        Poster() = default;
        // False, the work dropped, once the queue is gone.
        bool post(std::function<void()> work) const;

    private:
        friend class UiQueue;
        struct State;
        std::shared_ptr<State> state_;
    };
    Poster poster() const { return poster_; }
    bool post(std::function<void()> work) const { return poster_.post(std::move(work)); }

    // Runs `work` on this thread in `ms`, once, unless called off first; 0 when no timer could
    // be had.
    using Delay = std::uintptr_t;
    Delay after(unsigned ms, std::function<void()> work);
    void callOff(Delay delay);

    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;  // set by the window-procedure thunk

private:
    void runQueued();

    Poster poster_;
    std::map<Delay, std::function<void()>> delays_;
    Delay lastDelay_ = 0;
};

}  // namespace replybar::win
