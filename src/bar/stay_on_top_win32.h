// Keeps the bar at the top of the topmost band on a real desktop: at every change of the
// foreground (the system's event, and a look twice a second where that event does not arrive
// across processes) and whenever the bar asks; out of sight while a full-screen program is in
// front on its monitor. The look twice a second also follows the window in front as it changes
// its size and style, so a window put full-screen in place (F11) and back is seen.
#pragma once

#include <windows.h>

#include <functional>

#include "bar/stay_on_top.h"

namespace replybar {

// The monitor a window is on (the nearest one); the primary screen when the system says none.
MONITORINFO monitorOf(HWND window);

class StayOnTop {
public:
    struct Context {
        HWND bar;
        std::function<bool()> holdStill;   // true while a change of the z-order would do harm
        std::function<void()> beforeHide;  // the bar is about to go out of sight
        std::function<void()> foregroundChanged;  // another window came to the front
    };
    explicit StayOnTop(Context context);
    ~StayOnTop();
    StayOnTop(const StayOnTop&) = delete;
    StayOnTop& operator=(const StayOnTop&) = delete;

    // Starts following the foreground.
    void start();
    void stop();
    // Puts the bar back on top, unless a full-screen program is in front on its monitor.
    void keepOnTop();
    // The next look re-takes the bar's place even when the foreground is unchanged (the
    // launcher menu's loop has had the z-order in hand).
    void forgetForeground() { lastForeground_ = nullptr; }
    // True while the bar is out of sight for a full-screen program.
    bool hidden() const { return hidden_; }
    // True when `id` was the watch's timer.
    bool onTimer(UINT_PTR id);
    // The system's foreground event.
    void onForegroundEvent();

private:
    void lookAtForeground();
    BarLayer layerFor(HWND foreground) const;

    Context context_;
    HWINEVENTHOOK hook_ = nullptr;
    HWND seenForeground_ = nullptr;  // the foreground last reported as a change
    HWND lastForeground_ = nullptr;  // when the bar last took its place in the z-order
    bool hidden_ = false;            // out of sight for a full-screen program
};

}  // namespace replybar
