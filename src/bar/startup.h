// Start-up rules of the bar that need no desktop: folders and the first-start placement.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bar/taskbar.h"
#include "core/geometry.h"
#include "core/ports.h"

namespace replybar {

// A first start puts the bar this far from the left and this far above the work area's bottom.
constexpr int kFirstStartLeftTwips = 2390, kFirstStartHeightTwips = 440;

// Where the bar face goes so that the user can reach it: exactly where the user left it while a
// piece of it big enough to grab (10 x 10 px) lies on some monitor, half over a screen edge or
// across two monitors included; else onto the nearest monitor, clamped inside its whole
// rectangle (so a bar parked over the taskbar stays there). Rectangles in screen pixels.
PxRect keepOnScreen(const PxRect& face, const std::vector<PxRect>& monitors);

// The per-user application data folder with exactly one trailing backslash; "" when the system
// gave none.
std::wstring dataDirFrom(const std::wstring& appDataPath);
// Quick Launch below it, ending with a backslash.
std::wstring quickLaunchDirFrom(const std::wstring& appDataPath);

// Where a first start puts the bar: twips of 15 per pixel, like every position the bar keeps,
// whatever the screen's own factor.
struct FirstStartPlacement {
    double left = 0, top = 0;
};
FirstStartPlacement firstStartPlacement(const PxRect& workAreaPx, const taskbar::Screen& screen);

}  // namespace replybar
