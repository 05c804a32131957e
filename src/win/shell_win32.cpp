#include "win/shell_win32.h"

#include <shellapi.h>
#include <shldisp.h>

namespace replybar::win {

void ShellOpener::open(const std::wstring& target) {
    // A failure (no handler, a missing file) leaves the bar as it is: the shell reports nothing
    // the user could act on here.
    ::ShellExecuteW(owner_, L"open", target.c_str(), L"", L"", SW_SHOW);
}

bool ShellDesktop::toggleDesktop() {
    IShellDispatch4* shell = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER, IID_IShellDispatch4,
                                  reinterpret_cast<void**>(&shell))) ||
        !shell)
        return false;
    const HRESULT hr = shell->ToggleDesktop();
    shell->Release();
    return SUCCEEDED(hr);
}

int SystemClock::weekday() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now.wDayOfWeek + 1;  // wDayOfWeek counts Sunday as 0
}

std::uint64_t SystemClock::milliseconds() { return ::GetTickCount64(); }

}  // namespace replybar::win
