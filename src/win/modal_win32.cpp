#include "win/modal_win32.h"

namespace replybar::win {

RECT centredDialogRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
    RECT r{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int left = work.left + (work.right - work.left - w) / 2;
    const int top = work.top + (work.bottom - work.top - h) / 2;
    return {left, top, left + w, top + h};
}

void runModalLoop(HWND dialog, const bool& done) {
    MSG msg;
    while (!done) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!::IsDialogMessageW(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void bringToFront(HWND dialog) {
    ::ShowWindow(dialog, SW_SHOW);
    ::SetForegroundWindow(dialog);
}

void returnForeground(HWND userWindow) {
    if (userWindow && ::IsWindow(userWindow)) ::SetForegroundWindow(userWindow);
}

}  // namespace replybar::win
