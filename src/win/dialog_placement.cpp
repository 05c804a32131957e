#include "win/dialog_placement.h"

#include <algorithm>

namespace replybar::win {
namespace {

long long overlap(const ScreenRect& a, const ScreenRect& b) {
    const long long w = std::min(a.right, b.right) - 0LL - std::max(a.left, b.left);
    const long long h = std::min(a.bottom, b.bottom) - 0LL - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

long long distanceSquared(const ScreenRect& a, const ScreenRect& b) {
    const long long dx = std::max({0LL, 0LL + b.left - a.right, 0LL + a.left - b.right});
    const long long dy = std::max({0LL, 0LL + b.top - a.bottom, 0LL + a.top - b.bottom});
    return dx * dx + dy * dy;
}

int centred(int low, int high, int size) { return std::max(low, low + (high - low - size) / 2); }

}  // namespace

ScreenRect centredOnOwnersMonitor(const ScreenRect& owner, const std::vector<MonitorArea>& monitors,
                                  int width, int height) {
    ScreenRect area = owner;
    const MonitorArea* best = nullptr;
    for (const MonitorArea& m : monitors) {
        if (!best) {
            best = &m;
            continue;
        }
        const long long o = overlap(owner, m.monitor), bo = overlap(owner, best->monitor);
        if (o > bo || (o == bo && o == 0 &&
                       distanceSquared(owner, m.monitor) < distanceSquared(owner, best->monitor)))
            best = &m;
    }
    if (best) area = best->work;
    const int left = centred(area.left, area.right, width);
    const int top = centred(area.top, area.bottom, height);
    return {left, top, left + width, top + height};
}

}  // namespace replybar::win
