#include "core/dialog_placement.h"

#include <algorithm>

namespace replybar {
namespace {

int centred(int low, int high, int size) { return std::max(low, low + (high - low - size) / 2); }

}  // namespace

PxRect centredOnOwnersMonitor(const PxRect& owner, const std::vector<MonitorArea>& monitors,
                              int width, int height) {
    PxRect area = owner;
    const MonitorArea* best = nullptr;
    for (const MonitorArea& m : monitors) {
        if (!best) {
            best = &m;
            continue;
        }
        const long long o = overlapArea(owner, m.monitor), bo = overlapArea(owner, best->monitor);
        if (o > bo || (o == bo && o == 0 &&
                       distanceSquared(owner, m.monitor) < distanceSquared(owner, best->monitor)))
            best = &m;
    }
    if (best) area = best->work;
    const int left = centred(area.left, area.right, width);
    const int top = centred(area.top, area.bottom, height);
    return {left, top, left + width, top + height};
}

}  // namespace replybar
