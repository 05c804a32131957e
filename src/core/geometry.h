// The bar's two units and the one conversion between them. Places on the screen and in windows
// are pixels; the bar's own layout (its face, the reply panel's rows, the dialogs' controls) and
// every position it stores are twips, 15 to a pixel whatever the display's scale: the program
// is DPI-unaware, and Windows scales it as a whole. Pixel arithmetic that compares rectangles
// is 64-bit, so hand-edited positions far off every screen cannot overflow.
#pragma once

#include <algorithm>
#include <cmath>

namespace replybar {

inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, halves away from zero. Whole twips never fall on a half (15 is odd), so
// the rule matters only for positions edited by hand. Positions far beyond any screen are held
// to a billion pixels either way instead of wrapping around.
inline int twipsToPixels(double twips) {
    constexpr double kLimit = 1e9;
    const double px = std::round(twips / kTwipsPerPixel);
    return static_cast<int>(px > kLimit ? kLimit : px < -kLimit ? -kLimit : px);
}

// A rectangle in pixels, of a window or of the screen as each use says: right and bottom
// exclusive, as GDI has them.
struct PxRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PxRect&) const = default;
};

struct PxPoint {
    int x = 0, y = 0;
    bool operator==(const PxPoint&) const = default;
};

// A rectangle in twips: where it starts and how big it is.
struct TwipRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipRect&) const = default;
    bool contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

// The pixels a twip rectangle covers: each edge converted on its own.
inline PxRect toPixels(const TwipRect& t) {
    return {twipsToPixels(t.left), twipsToPixels(t.top), twipsToPixels(t.left + t.width),
            twipsToPixels(t.top + t.height)};
}

// The bar face: the strip with the four buttons that is all of the bar while its panel is shut.
inline constexpr int kBarFaceWidthTwips = 1545, kBarFaceHeightTwips = 435;
inline constexpr int kBarFaceWidthPx = kBarFaceWidthTwips / kTwipsPerPixel;    // 103
inline constexpr int kBarFaceHeightPx = kBarFaceHeightTwips / kTwipsPerPixel;  // 29
static_assert(kBarFaceWidthTwips % kTwipsPerPixel == 0 && kBarFaceHeightTwips % kTwipsPerPixel == 0,
              "the face is a whole number of pixels");

// Width and height of the part two rectangles share; zero or less when they do not overlap.
struct Overlap {
    long long width, height;
};
inline Overlap overlapOf(const PxRect& a, const PxRect& b) {
    return {std::min(a.right, b.right) - 0LL - std::max(a.left, b.left),
            std::min(a.bottom, b.bottom) - 0LL - std::max(a.top, b.top)};
}

inline long long overlapArea(const PxRect& a, const PxRect& b) {
    const Overlap o = overlapOf(a, b);
    return o.width > 0 && o.height > 0 ? o.width * o.height : 0;
}

// How far apart two rectangles are (0 when they touch or overlap), squared.
inline long long distanceSquared(const PxRect& a, const PxRect& b) {
    const long long dx = std::max({0LL, 0LL + b.left - a.right, 0LL + a.left - b.right});
    const long long dy = std::max({0LL, 0LL + b.top - a.bottom, 0LL + a.top - b.bottom});
    return dx * dx + dy * dy;
}

}  // namespace replybar
