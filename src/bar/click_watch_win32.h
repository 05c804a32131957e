// Clicks anywhere on the desktop while keyboard mode lasts, told to the bar. A low-level mouse
// hook runs on the thread that set it, and every click on the system waits for that thread's
// answer: on the bar's thread it would wait whenever the bar is busy (sending keys, waiting
// for the target to take them), and Windows drops a hook that keeps it waiting. So the hook
// lives on a thread of its own that does nothing else, and only tells the bar, through its
// queue, that a button went down; where the click went the bar decides on its own thread, in
// its own coordinates.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "win/ui_queue_win32.h"

namespace replybar {

class ClickWatch {
public:
    // `clicked` runs on the bar's thread at each button press, `failed` when the hook could not
    // be set.
    ClickWatch(win::UiQueue::Poster queue, std::function<void()> clicked,
               std::function<void()> failed);
    // Ends the watch's thread; waits for it a moment at most, and a thread that takes longer
    // ends by itself with what it holds.
    ~ClickWatch();
    ClickWatch(const ClickWatch&) = delete;
    ClickWatch& operator=(const ClickWatch&) = delete;

    // Sets or removes the hook; the thread does it, so the bar never waits for it.
    void watch(bool on);
    bool watching() const { return wanted_; }

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    bool wanted_ = false;
};

}  // namespace replybar
