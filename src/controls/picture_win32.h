// Picture objects and picture boxes as the menu and the icon pipeline use them: an item icon or
// the left-bar bitmap is an OLE picture (IPicture) that owns its handle, and a hidden picture box
// is a memory DC holding its own image with a background and a text colour.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <memory>
#include <utility>

#include "controls/menu_model.h"
#include "win/handles.h"

namespace replybar::menu {

// One reference to a COM object, released once.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* p) : p_(p) {}  // adopts a reference the caller already holds
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComRef& operator=(ComRef&& o) noexcept {
        if (this != &o) reset(std::exchange(o.p_, nullptr));
        return *this;
    }
    ~ComRef() { reset(); }

    void reset(T* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// A picture object that owns its icon or bitmap: releasing the last reference destroys it.
class OlePicture final : public MenuPicture {
public:
    // Takes ownership of the handle in every case; nullptr (handle destroyed) when no picture
    // object could be made.
    static std::shared_ptr<OlePicture> fromIcon(HICON icon);
    static std::shared_ptr<OlePicture> fromBitmap(HBITMAP bitmap);

    std::uintptr_t handle() const override;
    IPicture* get() const { return picture_.get(); }

    explicit OlePicture(ComRef<IPicture> picture) : picture_(std::move(picture)) {}

private:
    ComRef<IPicture> picture_;
};

// A hidden picture box: a 24-bit image (no alpha channel, so icons made from it are masked,
// never alpha-blended) selected into its own memory DC.
class Canvas {
public:
    Canvas(int width, int height, COLORREF backColor, COLORREF textColor = RGB(0, 0, 0));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF backColor() const { return backColor_; }
    // An empty picture: the image filled with the background colour and the DC's colours reset.
    void clear();
    void setBackColor(COLORREF c) {
        backColor_ = c;
        clear();
    }
    COLORREF pixel(int x, int y) const { return ::GetPixel(dc_.get(), x, y); }

private:
    int width_;
    int height_;
    COLORREF backColor_;
    COLORREF textColor_;
    win::UniqueDc dc_;
    win::UniqueBitmap bitmap_;
    HGDIOBJ original_ = nullptr;  // the DC's own 1 × 1 bitmap, put back before deleting ours
};

// A top-down 24-bit DIB section, the format of every colour image of the pipeline.
HBITMAP createColorImage(HDC dc, int width, int height);

}  // namespace replybar::menu
