// Whether the bar sits above every window or just behind the one in front. Windows raises the
// taskbar and any always-on-top window the user activates above the bar, and since the bar is
// never activated it would never come back: it is put back on top whenever another window
// comes to the front and whenever the pointer enters it, except while a full-screen program (a
// video, a slide show, a game) is in front on the bar's monitor, which the bar never covers.
#pragma once

#include "bar/taskbar.h"

namespace replybar {

enum class BarLayer { Topmost, BehindForeground };

struct ForegroundWindow {
    bool exists = false;
    taskbar::Rect rect;      // screen pixels
    bool isDesktop = false;  // the desktop's own windows cover every monitor too
    bool isOurs = false;     // the bar's own dialogs and boxes
};

BarLayer barLayerFor(const ForegroundWindow& foreground, const taskbar::Rect& barMonitor);

}  // namespace replybar
