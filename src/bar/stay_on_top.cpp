#include "bar/stay_on_top.h"

namespace replybar {

BarLayer barLayerFor(const ForegroundWindow& fg, const taskbar::Rect& m) {
    if (!fg.exists || fg.isDesktop || fg.isOurs) return BarLayer::Topmost;
    const bool coversMonitor = fg.rect.left <= m.left && fg.rect.top <= m.top &&
                               fg.rect.right >= m.right && fg.rect.bottom >= m.bottom;
    return coversMonitor ? BarLayer::BehindForeground : BarLayer::Topmost;
}

}  // namespace replybar
