#include "controls/picture_win32.h"

namespace replybar::menu {
namespace {

std::shared_ptr<OlePicture> wrap(PICTDESC& desc) {
    IPicture* raw = nullptr;
    if (FAILED(::OleCreatePictureIndirect(&desc, IID_IPicture, TRUE,
                                          reinterpret_cast<void**>(&raw))) ||
        !raw)
        return nullptr;
    return std::make_shared<OlePicture>(ComRef<IPicture>(raw));
}

}  // namespace

std::shared_ptr<OlePicture> OlePicture::fromIcon(HICON icon) {
    if (!icon) return nullptr;
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_ICON;
    desc.icon.hicon = icon;
    auto picture = wrap(desc);
    if (!picture) ::DestroyIcon(icon);  // nobody else would
    return picture;
}

std::shared_ptr<OlePicture> OlePicture::fromBitmap(HBITMAP bitmap) {
    if (!bitmap) return nullptr;
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = bitmap;
    auto picture = wrap(desc);
    if (!picture) ::DeleteObject(bitmap);
    return picture;
}

std::uintptr_t OlePicture::handle() const {
    OLE_HANDLE h = 0;
    if (!picture_ || FAILED(picture_->get_Handle(&h))) return 0;
    // OLE_HANDLE is 32 bits; USER and GDI handles are sign-extended 32-bit values on x64.
    return reinterpret_cast<std::uintptr_t>(::LongToHandle(static_cast<LONG>(h)));
}

HBITMAP createColorImage(HDC dc, int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

Canvas::Canvas(int width, int height, COLORREF backColor, COLORREF textColor)
    : width_(width),
      height_(height),
      backColor_(backColor),
      textColor_(textColor),
      dc_(::CreateCompatibleDC(nullptr)) {
    if (!dc_) return;
    bitmap_.reset(createColorImage(dc_.get(), width, height));
    if (bitmap_) original_ = ::SelectObject(dc_.get(), bitmap_.get());
    clear();
}

Canvas::~Canvas() {
    if (dc_ && original_) ::SelectObject(dc_.get(), original_);
    bitmap_.reset();
    dc_.reset();
}

void Canvas::clear() {
    if (!dc_) return;
    ::SetBkColor(dc_.get(), backColor_);
    ::SetTextColor(dc_.get(), textColor_);
    const RECT all{0, 0, width_, height_};
    if (const win::UniqueBrush brush{::CreateSolidBrush(backColor_)})
        ::FillRect(dc_.get(), &all, brush.get());
}

}  // namespace replybar::menu
