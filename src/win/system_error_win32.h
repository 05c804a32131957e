// The system's own text for an error code, for the reason line of a message box.
#pragma once

#include <windows.h>

#include <string>

namespace replybar::win {

// FormatMessageW's text without its line end, or "错误代码 N" when the system has none.
std::wstring systemErrorText(DWORD error);

}  // namespace replybar::win
