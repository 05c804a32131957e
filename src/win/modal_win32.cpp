#include "win/modal_win32.h"

#include <vector>

#include "core/dialog_placement.h"

namespace replybar::win {
namespace {

bool g_endingAll = false;

PxRect screenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

std::vector<MonitorArea> monitorAreas() {
    std::vector<MonitorArea> areas;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM all) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (::GetMonitorInfoW(monitor, &info))
                reinterpret_cast<std::vector<MonitorArea>*>(all)->push_back(
                    {screenRect(info.rcMonitor), screenRect(info.rcWork)});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&areas));
    if (areas.empty()) {
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        areas.push_back({screenRect(work), screenRect(work)});
    }
    return areas;
}

void runLoop(HWND dialog, const bool& done) {
    MSG msg;
    while (!done && !g_endingAll) {
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

}  // namespace

RECT centredDialogRect(HWND owner, int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
    RECT r{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    RECT bar{};
    if (!owner || !::GetWindowRect(owner, &bar)) bar = {};
    const PxRect placed =
        centredOnOwnersMonitor(screenRect(bar), monitorAreas(), r.right - r.left, r.bottom - r.top);
    return {placed.left, placed.top, placed.right, placed.bottom};
}

HWND createDialogWindow(const wchar_t* className, const wchar_t* caption, int clientWidth,
                        int clientHeight, DWORD extraStyle, HWND owner, void* self) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | extraStyle;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    const RECT r = centredDialogRect(owner, clientWidth, clientHeight, style, WS_EX_DLGMODALFRAME);
    return ::CreateWindowExW(exStyle, className, caption, style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, owner, nullptr, ::GetModuleHandleW(nullptr), self);
}

void runModal(HWND dialog, HWND owner, HWND userWindow, const bool& done, const ModalSteps& steps) {
    if (owner) ::EnableWindow(owner, FALSE);
    if (steps.beforeShow) steps.beforeShow();
    ::ShowWindow(dialog, SW_SHOW);
    ::SetForegroundWindow(dialog);
    if (steps.shown) steps.shown();
    runLoop(dialog, done);
    if (steps.closing) steps.closing();
    if (owner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
    // While the dialog is still the active window: destroyed first, it would hand the
    // activation to its owner or the next window in line, which would rise and flicker.
    if (userWindow && ::IsWindow(userWindow)) ::SetForegroundWindow(userWindow);
    ::DestroyWindow(dialog);
}

void endModalLoops() { g_endingAll = true; }

}  // namespace replybar::win
