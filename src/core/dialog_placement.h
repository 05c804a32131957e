// Where a dialog opens: centred on the work area of the monitor the bar is on, so that a user
// with the bar on a second screen finds the dialog there, clear of the taskbar.
#pragma once

#include <vector>

#include "core/screen_rect.h"

namespace replybar {

struct MonitorArea {
    ScreenRect monitor;  // the whole monitor
    ScreenRect work;     // without the taskbar and docked bars
};

// The dialog's window rectangle, `width` x `height`, centred on the work area of the monitor
// that holds most of `owner` (the nearest one when none does). A dialog larger than the work
// area keeps its title bar on screen. With no monitor known it is centred on the owner.
ScreenRect centredOnOwnersMonitor(const ScreenRect& owner, const std::vector<MonitorArea>& monitors,
                                  int width, int height);

}  // namespace replybar
