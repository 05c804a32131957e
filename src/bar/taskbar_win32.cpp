#include <windows.h>

#include "bar/taskbar.h"

namespace replybar::taskbar {

PxRect getWorkArea() {
    RECT r{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return {r.left, r.top, r.right, r.bottom};
}

Screen getScreen() {
    Screen s;
    s.widthPx = ::GetSystemMetrics(SM_CXSCREEN);
    s.heightPx = ::GetSystemMetrics(SM_CYSCREEN);
    HDC dc = ::GetDC(nullptr);
    const int dpiX = ::GetDeviceCaps(dc, LOGPIXELSX), dpiY = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(nullptr, dc);
    if (dpiX > 0) s.twipsPerPixelX = 1440 / dpiX;
    if (dpiY > 0) s.twipsPerPixelY = 1440 / dpiY;
    return s;
}

TaskbarEdge getTaskbarEdge() { return taskbarEdgeOf(getWorkArea(), getScreen()); }
PxRect getTaskbarRect() { return taskbarRectOf(getWorkArea(), getScreen()); }

std::vector<PxRect> getMonitors() {
    std::vector<PxRect> monitors;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT r, LPARAM all) -> BOOL {
            reinterpret_cast<std::vector<PxRect>*>(all)->push_back(
                {r->left, r->top, r->right, r->bottom});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

}  // namespace replybar::taskbar
