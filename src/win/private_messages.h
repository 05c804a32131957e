// Every private window message of the program, in one place so that no two share a number.
// Work from other threads reaches the bar's thread through the queue's one message (UiQueue);
// the others are the bar's own, posted to itself to run once the current step has unwound.
#pragma once

#include <windows.h>

namespace replybar::win {

// UiQueue: work is waiting on the queue's window.
inline constexpr UINT kRunQueued = WM_APP + 1;
// The bar, to itself: the hotkey came while the launcher menu was open; it is taken once the
// menu's loop has ended. wParam: the hotkey's key.
inline constexpr UINT kHotkeyAfterMenu = WM_APP + 2;
// The bar, to itself: the click watch follows keyboard mode once the panel is on screen.
inline constexpr UINT kSyncMouseHook = WM_APP + 3;
// The bar, to itself: a paint left the tooltips behind the panel's rows.
inline constexpr UINT kUpdateTooltips = WM_APP + 4;
// The bar, to itself: news of the team library waited for the panel to close.
inline constexpr UINT kTeamLibraryOutcome = WM_APP + 5;
// The click watch's thread, to itself: set (wParam 1) or remove (0) the mouse hook.
inline constexpr UINT kSetMouseHook = WM_APP + 6;

}  // namespace replybar::win
