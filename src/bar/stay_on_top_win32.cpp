#include "bar/stay_on_top_win32.h"

#include <shellapi.h>

#include "core/ports.h"

namespace replybar {

namespace {

// Where the system's foreground event does not arrive (it is not delivered across processes
// everywhere), a look twice a second still finds every change.
constexpr UINT_PTR kForegroundWatch = static_cast<UINT_PTR>(TimerId::ForegroundWatch);
constexpr unsigned kForegroundWatchMs = 500;

// The one keeper of this process, for the foreground hook, which has no other way to find it.
StayOnTop* g_keeper = nullptr;

void CALLBACK foregroundChanged(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    if (g_keeper) g_keeper->onForegroundEvent();
}

// The desktop covers every monitor but is no full-screen program.
bool isDesktopWindow(HWND h) {
    if (h == ::GetDesktopWindow() || h == ::GetShellWindow()) return true;
    wchar_t cls[16] = {};
    ::GetClassNameW(h, cls, 16);
    return ::lstrcmpW(cls, L"Progman") == 0 || ::lstrcmpW(cls, L"WorkerW") == 0;
}

// The shell's word on full-screen programs, games and presentations. Looked up rather than
// imported: shells before Vista have no such call.
ShellState shellState() {
    using Query = HRESULT(WINAPI*)(QUERY_USER_NOTIFICATION_STATE*);
    static const Query query = [] {
        const HMODULE shell = ::LoadLibraryW(L"shell32.dll");
        const FARPROC found =
            shell ? ::GetProcAddress(shell, "SHQueryUserNotificationState") : nullptr;
        return reinterpret_cast<Query>(reinterpret_cast<void*>(found));
    }();
    QUERY_USER_NOTIFICATION_STATE state{};
    if (!query || FAILED(query(&state))) return ShellState::Ordinary;
    switch (state) {
        case QUNS_BUSY: return ShellState::FullScreenBusy;
        case QUNS_RUNNING_D3D_FULL_SCREEN: return ShellState::Direct3DFullScreen;
        case QUNS_PRESENTATION_MODE: return ShellState::Presentation;
        default: return ShellState::Ordinary;
    }
}

}  // namespace

MONITORINFO monitorOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        info.rcMonitor =
            info.rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return info;
}

StayOnTop::StayOnTop(Context context) : context_(std::move(context)) {}

StayOnTop::~StayOnTop() { stop(); }

void StayOnTop::start() {
    g_keeper = this;
    seenForeground_ = ::GetForegroundWindow();
    hook_ =
        ::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                          foregroundChanged, 0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    ::SetTimer(context_.bar, kForegroundWatch, kForegroundWatchMs, nullptr);
}

void StayOnTop::stop() {
    if (hook_) ::UnhookWinEvent(hook_);
    hook_ = nullptr;
    if (g_keeper == this) g_keeper = nullptr;
}

bool StayOnTop::onTimer(UINT_PTR id) {
    if (id != kForegroundWatch) return false;
    lookAtForeground();
    // The same window may have gone full-screen or come back from it without any event.
    const HWND fg = ::GetForegroundWindow();
    if (fg != lastForeground_ || (layerFor(fg) == BarLayer::BehindForeground) != hidden_)
        keepOnTop();
    return true;
}

void StayOnTop::onForegroundEvent() {
    lookAtForeground();
    keepOnTop();
}

void StayOnTop::lookAtForeground() {
    const HWND fg = ::GetForegroundWindow();
    if (fg == seenForeground_) return;
    seenForeground_ = fg;
    if (context_.foregroundChanged) context_.foregroundChanged();
}

BarLayer StayOnTop::layerFor(HWND fg) const {
    ForegroundWindow front;
    RECT r{};
    if (fg && fg != context_.bar && ::GetWindowRect(fg, &r)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(fg, &pid);
        const LONG style = ::GetWindowLongW(fg, GWL_STYLE);
        front = {true,
                 {r.left, r.top, r.right, r.bottom},
                 isDesktopWindow(fg),
                 pid == ::GetCurrentProcessId(),
                 (style & WS_CAPTION) == WS_CAPTION,
                 ::IsZoomed(fg) != 0,
                 shellState()};
    }
    const MONITORINFO info = monitorOf(context_.bar);
    return barLayerFor(front, {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                               info.rcMonitor.bottom});
}

void StayOnTop::keepOnTop() {
    const HWND bar = context_.bar;
    if (!bar || context_.holdStill()) return;
    const HWND fg = ::GetForegroundWindow();
    lastForeground_ = fg;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (layerFor(fg) == BarLayer::Topmost) {
        ::SetWindowPos(bar, HWND_TOPMOST, 0, 0, 0, 0, flags | (hidden_ ? SWP_SHOWWINDOW : 0));
        hidden_ = false;
        return;
    }
    // Out of the way of the full-screen program: out of sight, as it would be behind it, until
    // another window is in front or this one is no longer full-screen.
    context_.beforeHide();
    ::SetWindowPos(bar, nullptr, 0, 0, 0, 0, flags | SWP_NOZORDER | SWP_HIDEWINDOW);
    hidden_ = true;
}

}  // namespace replybar
