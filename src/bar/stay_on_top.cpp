#include "bar/stay_on_top.h"

namespace replybar {

namespace {

bool covers(const PxRect& w, const PxRect& m) {
    return w.left <= m.left && w.top <= m.top && w.right >= m.right && w.bottom >= m.bottom;
}

// The monitor a window is on is the one holding its centre.
bool centredOn(const PxRect& w, const PxRect& m) {
    const long long x2 = 0LL + w.left + w.right, y2 = 0LL + w.top + w.bottom;
    return x2 >= 2LL * m.left && x2 < 2LL * m.right && y2 >= 2LL * m.top && y2 < 2LL * m.bottom;
}

}  // namespace

BarLayer barLayerFor(const ForegroundWindow& fg, const PxRect& m) {
    if (!fg.exists || fg.isDesktop || fg.isOurs || fg.maximised || fg.hasCaption)
        return BarLayer::Topmost;
    const bool fullScreen =
        covers(fg.rect, m) || (fg.shell != ShellState::Ordinary && centredOn(fg.rect, m));
    return fullScreen ? BarLayer::BehindForeground : BarLayer::Topmost;
}

}  // namespace replybar
