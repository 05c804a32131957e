// One static window procedure for every window class of the program: the object arrives with
// WM_NCCREATE through lpCreateParams, lives in GWLP_USERDATA, and is forgotten at WM_NCDESTROY.
#pragma once

#include <windows.h>

#include <string>

namespace replybar::win {

template <typename T>
LRESULT CALLBACK windowProcThunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    T* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        LRESULT r = self->handleMessage(msg, wp, lp);
        self->hwnd_ = nullptr;
        return r;
    }
    return self->handleMessage(msg, wp, lp);
}

// Subclassed controls go through one procedure too: the object that subclassed a control sees
// each of its messages first, with the control's own procedure to hand it on to. Both are kept
// in window properties, leaving the control's GWLP_USERDATA to the control.
inline constexpr wchar_t kSubclassOwner[] = L"ReplyBar.SubclassOwner";
inline constexpr wchar_t kSubclassOriginal[] = L"ReplyBar.SubclassOriginal";

template <typename T>
LRESULT CALLBACK childProcThunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<T*>(::GetPropW(hwnd, kSubclassOwner));
    const auto original = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kSubclassOriginal));
    if (msg == WM_NCDESTROY || !self) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::RemovePropW(hwnd, kSubclassOwner);
        ::RemovePropW(hwnd, kSubclassOriginal);
        return ::CallWindowProcW(original, hwnd, msg, wp, lp);
    }
    return self->handleChildMessage(hwnd, msg, wp, lp, original);
}

// Routes `child`'s messages through self->handleChildMessage(hwnd, msg, wp, lp, original).
template <typename T>
void subclassChild(HWND child, T* self) {
    ::SetPropW(child, kSubclassOriginal,
               reinterpret_cast<HANDLE>(::GetWindowLongPtrW(child, GWLP_WNDPROC)));
    ::SetPropW(child, kSubclassOwner, self);
    ::SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(childProcThunk<T>));
}

// Registers `className` once per process with the thunk of T.
template <typename T>
void registerWindowClass(const wchar_t* className, UINT style = 0, HCURSOR cursor = nullptr,
                         HBRUSH background = nullptr) {
    WNDCLASSEXW wc{};
    if (::GetClassInfoExW(::GetModuleHandleW(nullptr), className, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = windowProcThunk<T>;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    ::RegisterClassExW(&wc);
}

// The whole text of a window or control.
inline std::wstring windowText(HWND hwnd) {
    const int n = ::GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(got));
    return s;
}

}  // namespace replybar::win
