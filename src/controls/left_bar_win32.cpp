#include "controls/left_bar_win32.h"

#include <cstring>

#include "controls/left_bar.h"

namespace replybar::menu {

HBITMAP makeLeftBarBitmap() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kLeftBarWidth;
    info.bmiHeader.biHeight = -kLeftBarHeight;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    std::vector<std::uint32_t> pixels = leftBarPixels();
    for (std::uint32_t& p : pixels) p |= 0xFF000000u;  // opaque, as the menu's drawing expects
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof pixels[0]);
    return bitmap;
}

}  // namespace replybar::menu
