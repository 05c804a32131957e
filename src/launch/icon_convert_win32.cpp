#include "launch/icon_convert_win32.h"

#include "win/handles.h"

namespace replybar::launch {
namespace {

// A bitmap selected into its own memory DC for the length of one step.
class MemoryImage {
public:
    MemoryImage(HDC compatibleWith, HBITMAP bitmap)
        : dc_(::CreateCompatibleDC(compatibleWith)), bitmap_(bitmap) {
        if (dc_ && bitmap_) old_ = ::SelectObject(dc_.get(), bitmap_.get());
    }
    MemoryImage(const MemoryImage&) = delete;
    MemoryImage& operator=(const MemoryImage&) = delete;
    ~MemoryImage() {
        if (old_) ::SelectObject(dc_.get(), old_);
    }
    HDC dc() const { return old_ ? dc_.get() : nullptr; }

private:
    win::UniqueDc dc_;
    win::UniqueBitmap bitmap_;  // deleted before the DC, after being deselected
    HGDIOBJ old_ = nullptr;
};

// The icon from picMask and picImage. On entry `mask` is selected into `workingDc`.
void makeIconPicture(IconCanvases& c, HDC workingDc, HBITMAP mask, HGDIOBJ remembered) {
    const int w = c.picImage.width();
    const int h = c.picImage.height();
    // Pixels of picMask's background colour become 1: transparent in the icon.
    ::BitBlt(workingDc, 0, 0, w, h, c.picMask.dc(), 0, 0, SRCCOPY);
    ::SelectObject(workingDc, remembered);  // the icon may not take a bitmap that a DC holds

    const win::UniqueDc colorDc{::CreateCompatibleDC(nullptr)};
    const win::UniqueBitmap color{colorDc ? menu::createColorImage(colorDc.get(), w, h) : nullptr};
    if (color) {
        const HGDIOBJ old = ::SelectObject(colorDc.get(), color.get());
        ::BitBlt(colorDc.get(), 0, 0, w, h, c.picImage.dc(), 0, 0, SRCCOPY);
        ::SelectObject(colorDc.get(), old);
    }

    ICONINFO info{};
    info.fIcon = TRUE;
    info.xHotspot = 16;
    info.yHotspot = 16;
    info.hbmMask = mask;
    info.hbmColor = color.get();
    c.picture22.reset();
    // CreateIconIndirect copies both bitmaps; the picture object then owns the icon.
    if (color)
        if (const HICON icon = ::CreateIconIndirect(&info))
            c.picture22 = menu::OlePicture::fromIcon(icon);

    ::SelectObject(workingDc, mask);  // convertPictureToIcon deselects and deletes it
}

}  // namespace

IconCanvases::IconCanvases()
    : picture1(16, 16, ::GetSysColor(COLOR_BTNFACE)),
      picture11(32, 32, RGB(0, 0, 0)),
      picImage(32, 32, RGB(0, 0, 0), ::GetSysColor(COLOR_WINDOWTEXT)),
      picMask(32, 32, ::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT)) {}

void CreateTransparent(menu::Canvas& inpicSrc, menu::Canvas& inpicDest,
                       COLORREF inTrasparentColor) {
    const int w = inpicSrc.width();
    const int h = inpicSrc.height();
    ::SetBkColor(inpicSrc.dc(), inTrasparentColor);
    ::SetBkColor(inpicDest.dc(), inTrasparentColor);

    // White where the source shows the key colour, black elsewhere.
    const MemoryImage colorMask(inpicDest.dc(), menu::createColorImage(inpicDest.dc(), w, h));
    {
        const MemoryImage mono(inpicDest.dc(), ::CreateBitmap(w, h, 1, 1, nullptr));
        ::BitBlt(mono.dc(), 0, 0, w, h, inpicSrc.dc(), 0, 0, SRCCOPY);
        ::BitBlt(colorMask.dc(), 0, 0, w, h, mono.dc(), 0, 0, SRCCOPY);
    }
    if (!colorMask.dc()) return;
    // dest ^ src, & mask, ^ src: the destination's own pixel under the mask, the source's
    // elsewhere.
    ::BitBlt(inpicDest.dc(), 0, 0, w, h, inpicSrc.dc(), 0, 0, SRCINVERT);
    ::BitBlt(inpicDest.dc(), 0, 0, w, h, colorMask.dc(), 0, 0, SRCAND);
    ::BitBlt(inpicDest.dc(), 0, 0, w, h, inpicSrc.dc(), 0, 0, SRCINVERT);
}

bool MakeMask_viaMemoryDC(menu::Canvas& source, menu::Canvas& destination, IMessages* messages) {
    const int w = source.width();
    const int h = source.height();
    const win::UniqueDc dc{::CreateCompatibleDC(nullptr)};
    // A new memory DC holds a monochrome bitmap, so this one is monochrome too.
    const win::UniqueBitmap mono{dc ? ::CreateCompatibleBitmap(dc.get(), w, h) : nullptr};
    bool ok = false;
    if (mono) {
        const win::SelectGuard use(dc.get(), mono.get());
        ok = ::BitBlt(dc.get(), 0, 0, w, h, source.dc(), 0, 0, SRCCOPY) &&
             ::BitBlt(destination.dc(), 0, 0, w, h, dc.get(), 0, 0, SRCCOPY);
    }
    if (!ok && messages) messages->show(L"MakeMask_viaMemoryDC", L"快捷回复条", MessageKind::Info);
    return ok;
}

void convertPictureToIcon(IconCanvases& c) {
    const int w = c.picImage.width();
    const int h = c.picImage.height();
    const win::UniqueDc working{::CreateCompatibleDC(nullptr)};
    const win::UniqueBitmap mask{working ? ::CreateCompatibleBitmap(working.get(), w, h) : nullptr};
    const HGDIOBJ remembered = mask ? ::SelectObject(working.get(), mask.get()) : nullptr;

    c.picImage.clear();
    c.picMask.clear();
    c.picImage.setBackColor(c.picture11.backColor());
    const COLORREF key = c.picture11.pixel(0, 0);
    CreateTransparent(c.picture11, c.picImage, key);
    // The mask is keyed on Picture11 itself, whose DC background is now the key colour: exactly
    // the pixels that had the key colour turn transparent, and black in the icon stays black.
    IMessages* report = c.maskFailureShown ? nullptr : c.messages;
    if (!MakeMask_viaMemoryDC(c.picture11, c.picMask, report) && report) c.maskFailureShown = true;

    if (remembered && remembered != HGDI_ERROR) {
        makeIconPicture(c, working.get(), mask.get(), remembered);
        ::SelectObject(working.get(), remembered);
    } else {
        c.picture22.reset();
    }
}

}  // namespace replybar::launch
