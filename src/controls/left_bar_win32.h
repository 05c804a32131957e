// Preset 4's left bar as a bitmap the menu can draw (controls/left_bar.h).
#pragma once

#include <windows.h>

namespace replybar::menu {

// A 32-bit DIB section of the picture, opaque; the caller owns it. nullptr when GDI refused.
HBITMAP makeLeftBarBitmap();

}  // namespace replybar::menu
