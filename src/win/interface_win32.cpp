#include "win/interface_win32.h"

#include <commctrl.h>

namespace replybar::win {

UniqueFont makeInterfaceFont() {
    return UniqueFont(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_DONTCARE, L"宋体"));
}

HWND createTooltipWindow(HWND owner) {
    return ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

void addTool(HWND tips, HWND owner, UINT_PTR id, UINT flags, const RECT& rect,
             const wchar_t* text) {
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = flags;
    ti.hwnd = owner;
    ti.uId = id;
    ti.rect = rect;
    ti.lpszText = const_cast<wchar_t*>(text);
    ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

HWND makeChildControl(HWND parent, HFONT font, const wchar_t* cls, const wchar_t* text,
                      DWORD style, const RECT& r, int id, DWORD exStyle) {
    HWND c = ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return c;
}

}  // namespace replybar::win
