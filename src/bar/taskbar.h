// Where the taskbar is, from the work area. The work area is in pixels, the
// taskbar rectangle in the screen's own twips (1440 / DPI per pixel), not the bar's fixed 15.
#pragma once

#include <vector>

#include "core/geometry.h"

namespace replybar::taskbar {

enum TaskbarEdge { Left = 0, Right = 1, Top = 2, Bottom = 3 };

struct Screen {
    int widthPx = 0, heightPx = 0;
    int twipsPerPixelX = kTwipsPerPixel, twipsPerPixelY = kTwipsPerPixel;  // 96 DPI
};

TaskbarEdge taskbarEdgeOf(const PxRect& workAreaPx, const Screen& screen);
PxRect taskbarRectOf(const PxRect& workAreaPx, const Screen& screen);

// The desktop's answers; implemented in taskbar_win32.cpp.
PxRect getWorkArea();
Screen getScreen();
TaskbarEdge getTaskbarEdge();
PxRect getTaskbarRect();
// Every monitor's whole rectangle, pixels.
std::vector<PxRect> getMonitors();

}  // namespace replybar::taskbar
