// Start-up rules of the bar that need no desktop: folders and the first-start placement.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bar/taskbar.h"
#include "core/ports.h"

namespace replybar {

constexpr int kTwipsPerPixel = 15;                             // the bar's fixed conversion
constexpr int kBarWidthTwips = 1550, kBarHeightTwips = 440;    // the window at start
constexpr int kFaceWidthTwips = 1545, kFaceHeightTwips = 435;  // the bar face
constexpr int kFirstStartLeftTwips = 2390;

// Twips to whole pixels, halves away from zero. Positions far beyond any screen (a hand-edited
// setting) are held to a billion pixels either way instead of wrapping around.
int twipsToPixels(double twips);

// Where the bar face goes so that the user can reach it: exactly where the user left it while a
// piece of it big enough to grab (10 x 10 px) lies on some monitor, half over a screen edge or
// across two monitors included; else onto the nearest monitor, clamped inside its whole
// rectangle (so a bar parked over the taskbar stays there). Rectangles in screen pixels.
taskbar::Rect keepOnScreen(const taskbar::Rect& face, const std::vector<taskbar::Rect>& monitors);

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
FirstStartPlacement firstStartPlacement(const taskbar::Rect& workAreaPx,
                                        const taskbar::Screen& screen);

}  // namespace replybar
