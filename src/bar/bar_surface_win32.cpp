#include "bar/bar_surface_win32.h"

#include "bar/stay_on_top_win32.h"
#include "win/handles.h"

namespace replybar {

// Whatever the window showed is painted again from the bar's pictures, so nothing of it is
// copied across.
void BarSurface::setBounds(const PxRect& r) {
    ::SetWindowPos(bar_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

void BarSurface::setRegion(const std::vector<PxRect>& rects) {
    if (rects.empty()) {
        ::SetWindowRgn(bar_, nullptr, TRUE);
        return;
    }
    win::UniqueRgn all(
        ::CreateRoundRectRgn(rects[0].left, rects[0].top, rects[0].right, rects[0].bottom, 0, 0));
    for (std::size_t i = 1; i < rects.size(); ++i) {
        win::UniqueRgn part(::CreateRoundRectRgn(rects[i].left, rects[i].top, rects[i].right,
                                                 rects[i].bottom, 0, 0));
        ::CombineRgn(all.get(), all.get(), part.get(), RGN_OR);
    }
    // The window owns the region from here on.
    if (::SetWindowRgn(bar_, all.get(), TRUE)) all.release();
}

void BarSurface::invalidate() {
    if (!bar_) return;  // gone: a null window would invalidate the whole desktop
    ::InvalidateRect(bar_, nullptr, FALSE);
    if (repainted_) repainted_();
}

PxPoint BarSurface::cursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return {p.x, p.y};
}

PxRect BarSurface::workArea() {
    const RECT w = monitorOf(bar_).rcWork;
    return {w.left, w.top, w.right, w.bottom};
}

void BarSurface::enable(TimerId id, unsigned intervalMs) {
    ::SetTimer(bar_, static_cast<UINT_PTR>(id), intervalMs, nullptr);
}

void BarSurface::disable(TimerId id) { ::KillTimer(bar_, static_cast<UINT_PTR>(id)); }

}  // namespace replybar
