// Move-only owners for Win32 handles, all from one small template, and scope guards for the
// things a drawing step borrows (a window's DC, a selected object).
#pragma once

#include <windows.h>

#include <utility>

namespace replybar::win {

template <typename T, auto Close, T Invalid = T{}>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Invalid)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Invalid));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    void reset(T h = Invalid) {
        if (h_ != Invalid) Close(h_);
        h_ = h;
    }
    T release() { return std::exchange(h_, Invalid); }
    T get() const { return h_; }
    explicit operator bool() const { return h_ != Invalid; }

private:
    T h_ = Invalid;
};

inline void closeGdi(HGDIOBJ h) { ::DeleteObject(h); }
inline void closeDc(HDC h) { ::DeleteDC(h); }
inline void closeIcon(HICON h) { ::DestroyIcon(h); }
inline void closeMenu(HMENU h) { ::DestroyMenu(h); }
inline void closeKernel(HANDLE h) { ::CloseHandle(h); }
inline void closeKey(HKEY h) { ::RegCloseKey(h); }
inline void closeRgn(HRGN h) { ::DeleteObject(h); }
inline void closeBitmap(HBITMAP h) { ::DeleteObject(h); }
inline void closeBrush(HBRUSH h) { ::DeleteObject(h); }
inline void closePen(HPEN h) { ::DeleteObject(h); }
inline void closeFont(HFONT h) { ::DeleteObject(h); }

using UniqueBrush = UniqueHandle<HBRUSH, closeBrush>;
using UniquePen = UniqueHandle<HPEN, closePen>;
using UniqueBitmap = UniqueHandle<HBITMAP, closeBitmap>;
using UniqueRgn = UniqueHandle<HRGN, closeRgn>;
using UniqueFont = UniqueHandle<HFONT, closeFont>;
using UniqueDc = UniqueHandle<HDC, closeDc>;  // memory DCs from CreateCompatibleDC
using UniqueIcon = UniqueHandle<HICON, closeIcon>;
using UniqueMenu = UniqueHandle<HMENU, closeMenu>;
using UniqueKey = UniqueHandle<HKEY, closeKey>;
using UniqueKernelHandle = UniqueHandle<HANDLE, closeKernel>;

// A window's DC from GetDC, released to the same window.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { ::EndPaint(hwnd_, &ps_); }
    HDC get() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back at the end of the scope.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace replybar::win
