// ReplyBar's entry: one instance per session, the bar, and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>

#include "bar/bar_window_win32.h"

// An exception nothing catches ends the bar at once. The C++ library's own handler would first
// write the exception's type, demangled, to a console the bar does not have, and brings some
// 37 KB of demangler into the exe for it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {
constexpr wchar_t kInstanceMutex[] =
    L"ReplyBar.SingleInstance.{5B1E0C47-93F2-4D0B-8C1D-2F6A51C0A7E3}";
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // A second instance ends at once and silently, before it touches anything.
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, kInstanceMutex);
    if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex) ::CloseHandle(mutex);
        return 0;
    }
    int code = 0;
    {
        replybar::BarWindow bar;
        // The bar is on screen first; COM and the common controls (and their DLLs) after it.
        const bool created = bar.create();
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&icc);
        if (created) {
            bar.finishStartUp();
            MSG msg;
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            code = static_cast<int>(msg.wParam);
        }
    }
    ::CoUninitialize();
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
    return code;
}
