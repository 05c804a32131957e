#include "bar/startup.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace replybar {

namespace {

// A piece of the face the user can still take hold of with the pointer to drag it back.
constexpr int kGrabbablePx = 10;

bool grabbableOn(const PxRect& face, const PxRect& m) {
    const Overlap o = overlapOf(face, m);
    return o.width >= kGrabbablePx && o.height >= kGrabbablePx;
}

int clampInto(int start, int size, int low, int high) {
    return std::max(low, std::min(start, high - size));
}

}  // namespace

PxRect keepOnScreen(const PxRect& face, const std::vector<PxRect>& monitors) {
    const PxRect* nearest = nullptr;
    for (const PxRect& m : monitors) {
        if (grabbableOn(face, m)) return face;
        if (!nearest || distanceSquared(face, m) < distanceSquared(face, *nearest) ||
            (distanceSquared(face, m) == distanceSquared(face, *nearest) &&
             overlapArea(face, m) > overlapArea(face, *nearest)))
            nearest = &m;
    }
    if (!nearest) return face;
    const int w = face.right - face.left, h = face.bottom - face.top;
    const int left = clampInto(face.left, w, nearest->left, nearest->right);
    const int top = clampInto(face.top, h, nearest->top, nearest->bottom);
    return {left, top, left + w, top + h};
}

std::wstring dataDirFrom(const std::wstring& appDataPath) {
    if (appDataPath.empty()) return L"";  // no folder: never the root of the current drive
    if (appDataPath.back() == L'\\') return appDataPath;
    return appDataPath + L'\\';
}

std::wstring quickLaunchDirFrom(const std::wstring& appDataPath) {
    if (appDataPath.empty()) return L"";
    return dataDirFrom(appDataPath) + L"Microsoft\\Internet Explorer\\Quick Launch\\";
}

FirstStartPlacement firstStartPlacement(const PxRect& wa, const taskbar::Screen& screen) {
    // The taskbar rectangle comes in the screen's own twips (1440 / DPI per pixel: 12 at 120
    // DPI), the bar's position in its fixed 15 per pixel. Mixing the two put the bar about
    // 200 px above the taskbar at 125 %: the height goes back to pixels with the factor it was
    // made with, and everything the bar keeps is in its own twips.
    const PxRect tb = taskbar::taskbarRectOf(wa, screen);
    const int ty = screen.twipsPerPixelY & 0xFF;  // as taskbarRectOf took it
    const long long taskbarPx = ty > 0 ? (static_cast<long long>(tb.bottom) - tb.top) / ty : 0;
    FirstStartPlacement p;
    switch (taskbar::taskbarEdgeOf(wa, screen)) {
        case taskbar::Bottom:
        case taskbar::Top:
            p.left = kFirstStartLeftTwips;
            p.top = static_cast<double>(screen.heightPx - taskbarPx) * kTwipsPerPixel -
                    kFirstStartHeightTwips;
            break;
        case taskbar::Left:
        case taskbar::Right:
            // A side or hidden taskbar spans the whole height, which would put the bar above the
            // screen: sit on the work area's lower edge instead.
            p.left = static_cast<double>(wa.left) * kTwipsPerPixel + kFirstStartLeftTwips;
            p.top = static_cast<double>(wa.bottom) * kTwipsPerPixel - kFirstStartHeightTwips;
            break;
    }
    return p;
}

}  // namespace replybar
