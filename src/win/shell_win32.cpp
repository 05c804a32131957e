#include "win/shell_win32.h"

#include <shellapi.h>

namespace replybar::win {

void ShellOpener::open(const std::wstring& target) {
    // A failure (no handler, a missing file) leaves the bar as it is: the shell reports nothing
    // the user could act on here.
    ::ShellExecuteW(owner_, L"open", target.c_str(), L"", L"", SW_SHOW);
}

}  // namespace replybar::win
