// Turns the enlarged shell icon into an icon of its size
// (32 × 32 at 96 DPI) with a transparency mask, wrapped in a picture object that the menu item
// then owns. The key colour, the colour of the enlarged icon's top-left pixel, decides which pixels
// become transparent.
#pragma once

#include <windows.h>

#include <memory>

#include "core/ports.h"
#include "controls/picture_win32.h"
#include "launch/shell_icon_win32.h"

namespace replybar::launch {

struct ConversionScratch;

// The hidden picture boxes of one run of the icon pipeline. A build keeps one for all its
// entries: the conversion's own device contexts and bitmaps are made with it and released with
// it, and each conversion only draws into them.
struct IconCanvases {
    // For shell icons of `shellIconSize` px; the work canvases and the icon are twice that.
    explicit IconCanvases(int shellIconSize = kShellIconSize);
    ~IconCanvases();
    IconCanvases(const IconCanvases&) = delete;
    IconCanvases& operator=(const IconCanvases&) = delete;

    menu::Canvas smallIcon;     // the shell icon, 16 × 16 at 96 DPI, on button face
    menu::Canvas enlargedIcon;  // the shell icon enlarged twice, on black
    menu::Canvas picImage;      // the icon's colour image
    menu::Canvas picMask;       // the icon's mask: window colour where transparent
    menu::PicturePtr menuIcon;  // the finished icon picture, empty after a failed conversion

    IMessages* messages = nullptr;  // the mask failure's message, shown once at most
    bool maskFailureShown = false;
    bool maskFailed = false;  // a mask copy failed in one of the conversions so far
    std::unique_ptr<ConversionScratch> scratch;
};

// enlargedIcon → picImage, picMask → an icon that the caller owns; null when a step failed. Runs on
// any thread (no picture object is made), one thread per IconCanvases at a time.
HICON convertToIcon(IconCanvases& canvases);

// enlargedIcon → picImage, picMask → an icon picture in menuIcon. It draws into the canvases'
// scratch DCs and bitmaps; the icon belongs to the picture object. Failing steps are skipped.
void convertPictureToIcon(IconCanvases& canvases);

// Copies `inpicSrc` onto `inpicDest` except where the source shows `inTrasparentColor`; there
// the destination keeps its own pixels. Both DCs are left with the key as background colour.
void CreateTransparent(menu::Canvas& inpicSrc, menu::Canvas& inpicDest, COLORREF inTrasparentColor);

// Paints `destination` in its background colour where `source` shows its DC's background
// colour and in its text colour elsewhere. On failure shows kIconMaskFailedMessage through
// `messages` (when given) and returns false.
inline constexpr wchar_t kIconMaskFailedMessage[] =
    L"快捷启动菜单的图标没能生成，有的项目将不带图标显示。";
bool makeIconMask(menu::Canvas& source, menu::Canvas& destination, IMessages* messages);

}  // namespace replybar::launch
