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

}  // namespace replybar::win
