// Where the taskbar is, from the work area. The work area is in pixels, the
// taskbar rectangle in the screen's own twips (1440 / DPI per pixel), not the bar's fixed 15.
#pragma once

#include <vector>

#include "core/screen_rect.h"

namespace replybar::taskbar {

using Rect = ScreenRect;

enum TaskbarEdge { Left = 0, Right = 1, Top = 2, Bottom = 3 };

struct Screen {
    int widthPx = 0, heightPx = 0;
    int twipsPerPixelX = 15, twipsPerPixelY = 15;
};

TaskbarEdge taskbarEdgeOf(const Rect& workAreaPx, const Screen& screen);
Rect taskbarRectOf(const Rect& workAreaPx, const Screen& screen);

// The desktop's answers; implemented in taskbar_win32.cpp.
Rect getWorkArea();
Screen getScreen();
TaskbarEdge getTaskbarEdge();
Rect getTaskbarRect();
// Every monitor's whole rectangle, pixels.
std::vector<Rect> getMonitors();

}  // namespace replybar::taskbar
