#include "bar/taskbar.h"

namespace replybar::taskbar {

TaskbarEdge taskbarEdgeOf(const PxRect& w, const Screen& s) {
    if (w.left != 0) return Left;
    if (w.top != 0) return Top;
    // The comparison is made in single precision on purpose: the work area's height in twips
    // against the screen's.
    const float workTwips =
        static_cast<float>(w.bottom - w.top) * static_cast<float>(s.twipsPerPixelY);
    const float screenTwips = static_cast<float>(s.heightPx) * static_cast<float>(s.twipsPerPixelY);
    if (workTwips != screenTwips) return Bottom;
    return Right;  // also a hidden taskbar: the work area fills the screen
}

PxRect taskbarRectOf(const PxRect& w, const Screen& s) {
    const int tx = s.twipsPerPixelX & 0xFF, ty = s.twipsPerPixelY & 0xFF;
    PxRect r{0, 0, s.widthPx * tx, s.heightPx * ty};
    switch (taskbarEdgeOf(w, s)) {
        case Left: r.right = w.left * tx; break;
        case Right: r.left = w.right * tx; break;
        case Top: r.bottom = w.top * ty; break;
        case Bottom: r.top = w.bottom * ty; break;
    }
    return r;
}

}  // namespace replybar::taskbar
