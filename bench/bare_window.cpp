// The start-up baseline: the smallest Win32 program that shows a topmost tool window of the
// bar's size, no-activate, and closes on WM_CLOSE.
// Given two rectangles (left top right bottom, closed then open), it is the hotkey baseline: the
// window starts at the first, registers Ctrl+Alt+R as the bar does, and each press of it moves
// the window between the two, the background painted in the colour of the bar's icon strip.
#include <windows.h>

#include <cwchar>

RECT g_rects[2] = {{159, 771, 262, 800}};
bool g_open = false;

LRESULT CALLBACK bareProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    if (msg == WM_HOTKEY) {
        g_open = !g_open;
        const RECT& r = g_rects[g_open];
        ::SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int) {
    RECT(&r)[2] = g_rects;
    const bool hotkey =
        std::swscanf(args, L"%ld %ld %ld %ld %ld %ld %ld %ld", &r[0].left, &r[0].top, &r[0].right,
                     &r[0].bottom, &r[1].left, &r[1].top, &r[1].right, &r[1].bottom) == 8;
    WNDCLASSW wc{};
    wc.lpfnWndProc = bareProc;
    wc.hInstance = instance;
    wc.hbrBackground = hotkey ? ::CreateSolidBrush(RGB(219, 216, 209))
                              : static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"ReplyBar.Bare";
    ::RegisterClassW(&wc);
    HWND w =
        ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, wc.lpszClassName,
                          L"bare", WS_POPUP, r[0].left, r[0].top, r[0].right - r[0].left,
                          r[0].bottom - r[0].top, nullptr, nullptr, instance, nullptr);
    if (hotkey) ::RegisterHotKey(w, 1, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, 'R');
    ::SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}
