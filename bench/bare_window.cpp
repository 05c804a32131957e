// The start-up baseline: the smallest Win32 program that shows a topmost tool window of the
// bar's size, no-activate, and closes on WM_CLOSE.
#include <windows.h>

LRESULT CALLBACK bareProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = bareProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"ReplyBar.Bare";
    ::RegisterClassW(&wc);
    HWND w = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, wc.lpszClassName,
                               L"bare", WS_POPUP, 159, 771, 103, 29, nullptr, nullptr, instance,
                               nullptr);
    ::SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}
