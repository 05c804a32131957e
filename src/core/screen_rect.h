// Rectangles of the screen in pixels, and how two of them lie to each other: what placing the
// bar, its panel and its dialogs on the monitors is made of. 64-bit arithmetic throughout, so
// hand-edited positions far off every screen cannot overflow.
#pragma once

#include <algorithm>

namespace replybar {

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// Width and height of the part two rectangles share; zero or less when they do not overlap.
struct Overlap {
    long long width, height;
};
inline Overlap overlapOf(const ScreenRect& a, const ScreenRect& b) {
    return {std::min(a.right, b.right) - 0LL - std::max(a.left, b.left),
            std::min(a.bottom, b.bottom) - 0LL - std::max(a.top, b.top)};
}

inline long long overlapArea(const ScreenRect& a, const ScreenRect& b) {
    const Overlap o = overlapOf(a, b);
    return o.width > 0 && o.height > 0 ? o.width * o.height : 0;
}

// How far apart two rectangles are (0 when they touch or overlap), squared.
inline long long distanceSquared(const ScreenRect& a, const ScreenRect& b) {
    const long long dx = std::max({0LL, 0LL + b.left - a.right, 0LL + a.left - b.right});
    const long long dy = std::max({0LL, 0LL + b.top - a.bottom, 0LL + a.top - b.bottom});
    return dx * dx + dy * dy;
}

}  // namespace replybar
