#include "launch/icon_convert_win32.h"

#include "core/message_titles.h"
#include "win/handles.h"

namespace replybar::launch {

// A memory DC and a bitmap for it, selected only while a step draws: CreateIconIndirect takes
// bitmaps that no DC holds.
class ScratchImage {
public:
    ScratchImage(HDC compatibleWith, HBITMAP bitmap)
        : dc_(::CreateCompatibleDC(compatibleWith)), bitmap_(bitmap) {}
    ScratchImage(const ScratchImage&) = delete;
    ScratchImage& operator=(const ScratchImage&) = delete;
    ~ScratchImage() { deselect(); }  // before the bitmap and then the DC are deleted

    // The DC with the bitmap in it, or null when either could not be made.
    HDC select() {
        if (!old_ && dc_ && bitmap_) old_ = ::SelectObject(dc_.get(), bitmap_.get());
        return old_ && old_ != HGDI_ERROR ? dc_.get() : nullptr;
    }
    void deselect() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_.get(), old_);
        old_ = nullptr;
    }
    HBITMAP bitmap() const { return bitmap_.get(); }

private:
    win::UniqueDc dc_;
    win::UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

// Every DC and bitmap of the conversion, of the work canvases' size (32 × 32 at 96 DPI).
struct ConversionScratch {
    ConversionScratch(HDC colorDc, int size)
        : iconMask(nullptr, ::CreateBitmap(size, size, 1, 1, nullptr)),
          colorMask(colorDc, menu::createColorImage(colorDc, size, size)),
          mono(colorDc, ::CreateBitmap(size, size, 1, 1, nullptr)),
          maskWork(nullptr, ::CreateBitmap(size, size, 1, 1, nullptr)),
          iconColor(nullptr, menu::createColorImage(colorDc, size, size)) {}

    ScratchImage iconMask;   // the icon's AND mask
    ScratchImage colorMask;  // CreateTransparent: white where the key colour is
    ScratchImage mono;       // CreateTransparent: the key colour as 1 bits
    ScratchImage maskWork;   // the mask's monochrome copy
    ScratchImage iconColor;  // the icon's colour image
};

namespace {

// Keyed on the source's background colour: white there in `colorMask`, black elsewhere; then
// the destination keeps its pixels under the white and takes the source's elsewhere.
void transparentCopy(menu::Canvas& src, menu::Canvas& dest, COLORREF key, ScratchImage& colorMask,
                     ScratchImage& mono) {
    const int w = src.width(), h = src.height();
    ::SetBkColor(src.dc(), key);
    ::SetBkColor(dest.dc(), key);
    const HDC maskDc = colorMask.select();
    if (const HDC monoDc = mono.select()) {
        ::BitBlt(monoDc, 0, 0, w, h, src.dc(), 0, 0, SRCCOPY);
        if (maskDc) ::BitBlt(maskDc, 0, 0, w, h, monoDc, 0, 0, SRCCOPY);
    }
    mono.deselect();
    if (!maskDc) return;
    // dest ^ src, & mask, ^ src: the destination's own pixel under the mask, the source's
    // elsewhere.
    ::BitBlt(dest.dc(), 0, 0, w, h, src.dc(), 0, 0, SRCINVERT);
    ::BitBlt(dest.dc(), 0, 0, w, h, maskDc, 0, 0, SRCAND);
    ::BitBlt(dest.dc(), 0, 0, w, h, src.dc(), 0, 0, SRCINVERT);
    colorMask.deselect();
}

bool maskCopy(menu::Canvas& source, menu::Canvas& destination, ScratchImage& work,
              IMessages* messages) {
    const int w = source.width(), h = source.height();
    bool ok = false;
    if (const HDC dc = work.select())
        ok = ::BitBlt(dc, 0, 0, w, h, source.dc(), 0, 0, SRCCOPY) &&
             ::BitBlt(destination.dc(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
    work.deselect();
    if (!ok && messages) messages->show(kIconMaskFailedMessage, texts::kMessageTitle, MessageKind::Info);
    return ok;
}

// The icon from picMask (its background colour becomes 1: transparent) and picImage; null when
// a step failed. The caller owns it.
HICON makeIcon(IconCanvases& c) {
    ConversionScratch& s = *c.scratch;
    const int w = c.picImage.width(), h = c.picImage.height();
    const HDC maskDc = s.iconMask.select();
    if (maskDc) ::BitBlt(maskDc, 0, 0, w, h, c.picMask.dc(), 0, 0, SRCCOPY);
    s.iconMask.deselect();
    const HDC colorDc = s.iconColor.select();
    if (colorDc) ::BitBlt(colorDc, 0, 0, w, h, c.picImage.dc(), 0, 0, SRCCOPY);
    s.iconColor.deselect();
    if (!maskDc || !colorDc) return nullptr;

    ICONINFO info{};
    info.fIcon = TRUE;
    info.xHotspot = static_cast<DWORD>(w / 2);
    info.yHotspot = static_cast<DWORD>(h / 2);
    info.hbmMask = s.iconMask.bitmap();
    info.hbmColor = s.iconColor.bitmap();
    // CreateIconIndirect copies both bitmaps.
    return ::CreateIconIndirect(&info);
}

}  // namespace

// The shell icon is drawn whole at its own size (a 24 px icon on a 16 px canvas lost its right
// side) and enlarged twice, as at 96 DPI, so the menu's reduction to the item icon size gives
// back its pixels.
IconCanvases::IconCanvases(int shellIconSize)
    : smallIcon(shellIconSize, shellIconSize, ::GetSysColor(COLOR_BTNFACE)),
      enlargedIcon(2 * shellIconSize, 2 * shellIconSize, RGB(0, 0, 0)),
      picImage(2 * shellIconSize, 2 * shellIconSize, RGB(0, 0, 0), ::GetSysColor(COLOR_WINDOWTEXT)),
      picMask(2 * shellIconSize, 2 * shellIconSize, ::GetSysColor(COLOR_WINDOW),
              ::GetSysColor(COLOR_WINDOWTEXT)),
      scratch(std::make_unique<ConversionScratch>(picImage.dc(), 2 * shellIconSize)) {}

IconCanvases::~IconCanvases() = default;

void CreateTransparent(menu::Canvas& inpicSrc, menu::Canvas& inpicDest,
                       COLORREF inTrasparentColor) {
    const int w = inpicSrc.width(), h = inpicSrc.height();
    ScratchImage colorMask(inpicDest.dc(), menu::createColorImage(inpicDest.dc(), w, h));
    ScratchImage mono(inpicDest.dc(), ::CreateBitmap(w, h, 1, 1, nullptr));
    transparentCopy(inpicSrc, inpicDest, inTrasparentColor, colorMask, mono);
}

bool makeIconMask(menu::Canvas& source, menu::Canvas& destination, IMessages* messages) {
    // A new memory DC holds a monochrome bitmap, so one compatible with it is monochrome too.
    ScratchImage work(nullptr, ::CreateBitmap(source.width(), source.height(), 1, 1, nullptr));
    return maskCopy(source, destination, work, messages);
}

HICON convertToIcon(IconCanvases& c) {
    c.picImage.clear();
    c.picMask.clear();
    c.picImage.setBackColor(c.enlargedIcon.backColor());
    const COLORREF key = c.enlargedIcon.pixel(0, 0);
    transparentCopy(c.enlargedIcon, c.picImage, key, c.scratch->colorMask, c.scratch->mono);
    // The mask is keyed on the enlarged icon itself, whose DC background is now the key colour: exactly
    // the pixels that had the key colour turn transparent, and black in the icon stays black.
    IMessages* report = c.maskFailureShown ? nullptr : c.messages;
    if (!maskCopy(c.enlargedIcon, c.picMask, c.scratch->maskWork, report)) c.maskFailed = true;
    if (report && c.maskFailed) c.maskFailureShown = true;
    return makeIcon(c);
}

void convertPictureToIcon(IconCanvases& c) {
    c.menuIcon.reset();
    // The picture object owns the icon from here on.
    if (const HICON icon = convertToIcon(c)) c.menuIcon = menu::OlePicture::fromIcon(icon);
}

}  // namespace replybar::launch
