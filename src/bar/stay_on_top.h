// Whether the bar sits above every window or just behind the one in front. Windows raises the
// taskbar and any always-on-top window the user activates above the bar, and since the bar is
// never activated it would never come back: it is put back on top whenever another window
// comes to the front and whenever the pointer enters it, except while a full-screen program (a
// video, a slide show, a game) is in front on the bar's monitor, which the bar never covers.
#pragma once

#include "bar/taskbar.h"

namespace replybar {

enum class BarLayer { Topmost, BehindForeground };

// What the shell says the user is doing (its notification state), as far as the bar cares.
enum class ShellState {
    Ordinary,            // anything else, or a shell that cannot tell
    FullScreenBusy,      // a full-screen program is running
    Direct3DFullScreen,  // a game holds the display
    Presentation,        // the user turned on presentation settings
};

struct ForegroundWindow {
    bool exists = false;
    PxRect rect;             // screen pixels
    bool isDesktop = false;  // the desktop's own windows cover every monitor too
    bool isOurs = false;     // the bar's own dialogs and boxes
    bool hasCaption = false;
    bool maximised = false;
    ShellState shell = ShellState::Ordinary;
};

// A full-screen program is a window without a caption that covers the bar's monitor, or one
// without a caption in front on that monitor while the shell says a full-screen program, a game
// or a presentation is running. A maximised window or one with a caption never is: without a
// taskbar on its monitor a maximised window covers the monitor too, and it is the user's chat.
BarLayer barLayerFor(const ForegroundWindow& foreground, const PxRect& barMonitor);

}  // namespace replybar
