// Where a dialog opens: centred on the work area of the monitor the bar is on, so that a user
// with the bar on a second screen finds the dialog there, clear of the taskbar.
#pragma once

#include <vector>

#include "core/geometry.h"

namespace replybar {

struct MonitorArea {
    PxRect monitor;  // the whole monitor
    PxRect work;     // without the taskbar and docked bars
};

// The dialog's window rectangle, `width` x `height`, centred on the work area of the monitor
// that holds most of `owner` (the nearest one when none does). A dialog larger than the work
// area keeps its title bar on screen. With no monitor known it is centred on the owner.
PxRect centredOnOwnersMonitor(const PxRect& owner, const std::vector<MonitorArea>& monitors,
                              int width, int height);

}  // namespace replybar
