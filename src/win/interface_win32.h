// What every window of the program shares: its interface font and its tooltip windows.
#pragma once

#include <windows.h>

#include "win/handles.h"

namespace replybar::win {

// 宋体 at 12 pixels in the GB2312 character set: the dialogs' controls and the panel's rows.
UniqueFont makeInterfaceFont();

// A visible child control of a dialog at `r` (pixels in the parent), with id `id`, in `font`.
HWND makeChildControl(HWND parent, HFONT font, const wchar_t* cls, const wchar_t* text,
                      DWORD style, const RECT& r, int id, DWORD exStyle = 0);

// A topmost tooltip window owned by `owner`; TTS_NOPREFIX keeps a reply's "&" as it is.
HWND createTooltipWindow(HWND owner);

// One tool of `owner` on `tips`, with its id, flags, rectangle and text.
void addTool(HWND tips, HWND owner, UINT_PTR id, UINT flags, const RECT& rect, const wchar_t* text);

}  // namespace replybar::win
