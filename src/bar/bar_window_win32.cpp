#include "bar/bar_window_win32.h"

#include <commctrl.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>

#include "bar/startup.h"
#include "bar/stay_on_top.h"
#include "bar/taskbar.h"
#include "controls/picture_win32.h"
#include "launch/button_actions.h"
#include "launch/settings_window_win32.h"
#include "launch/launcher_win32.h"
#include "resource_ids.h"
#include "reply/reply_editor_window_win32.h"
#include "reply/reply_store.h"
#include "win/files.h"
#include "win/modal_win32.h"
#include "win/window_class.h"

namespace replybar {

namespace {

constexpr wchar_t kClassName[] = L"ReplyBar.Bar";
// Timer ids: the bar's timers are TimerId + 1. The launcher menu is built once, 66 ms
// after start-up; the menu watch runs only while the launcher menu is open.
constexpr UINT_PTR kBuildLauncherMenuTimer = static_cast<UINT_PTR>(TimerId::BuildLauncherMenu) + 1;
constexpr unsigned kBuildLauncherMenuDelayMs = 66;
constexpr UINT_PTR kMenuWatch = 10;
constexpr UINT_PTR kLauncherHandOver = 11;  // a menu content that came while the menu was open
constexpr UINT_PTR kRowToolBase = 100;      // tooltip ids of the rows: 100 + row
// The foreground watch: where the system's foreground event does not arrive (it is not
// delivered across processes everywhere), a look twice a second still finds every change.
constexpr UINT_PTR kForegroundWatch = 12;
constexpr unsigned kForegroundWatchMs = 500;

// The bar of this process, for the foreground hook, which has no other way to find it.
BarWindow* g_barOnTop = nullptr;

void CALLBACK foregroundChanged(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    if (g_barOnTop) g_barOnTop->keepOnTop();
}

// The desktop covers every monitor but is no full-screen program.
bool isDesktopWindow(HWND h) {
    if (h == ::GetDesktopWindow() || h == ::GetShellWindow()) return true;
    wchar_t cls[16] = {};
    ::GetClassNameW(h, cls, 16);
    return ::lstrcmpW(cls, L"Progman") == 0 || ::lstrcmpW(cls, L"WorkerW") == 0;
}

}  // namespace

BarWindow::BarWindow() = default;
BarWindow::~BarWindow() {
    if (foregroundHook_) ::UnhookWinEvent(foregroundHook_);
    if (g_barOnTop == this) g_barOnTop = nullptr;
}

// Up to the bar on screen and painted: only what that needs runs before it.
bool BarWindow::create() {
    win::registerWindowClass<BarWindow>(kClassName);
    pictures_.loadFace();
    ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"快捷回复条", WS_POPUP, 0, 0,
                      twipsToPixels(kBarWidthTwips), twipsToPixels(kBarHeightTwips), nullptr,
                      nullptr, ::GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    messages_.setOwner(hwnd_);
    clipboard_ = win::Clipboard(hwnd_);
    shell_.setOwner(hwnd_);
    controller_ = std::make_unique<BarController>(
        state_, replies_,
        BarController::Ports{*this, *this, clipboard_, keys_, messages_, *this, target_, clock_});
    placeFromSettings();
    applyStyles();  // from here on the bar is on screen
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    controller_->setWindowRect({r.left, r.top, r.right, r.bottom});
    ::UpdateWindow(hwnd_);
    return true;
}

// The rest of start-up, once the bar is painted: nothing of it shows before the user's first
// click, and the shell, COM and the common controls are first loaded here.
void BarWindow::finishStartUp() {
    pictures_.loadRest();
    readOsVersion();
    readFolders();
    if (!launchFolderFromSettings_) state_.launchFolder = state_.quickLaunchDir;
    leftBarPicture_ = menu::OlePicture::fromBitmap(static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LEFTBAR), IMAGE_BITMAP, 0, 0,
                     LR_CREATEDIBSECTION)));
    files_ = makeSystemFiles();
    store_ = std::make_unique<ReplyStore>(*files_, messages_, state_.dataDir);
    controller_->setPanelSize(store_->loadReplies(state_, replies_));
    createTooltips();
    enable(TimerId::BuildLauncherMenu, kBuildLauncherMenuDelayMs);
    g_barOnTop = this;
    foregroundHook_ =
        ::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                          foregroundChanged, 0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    ::SetTimer(hwnd_, kForegroundWatch, kForegroundWatchMs, nullptr);
    if (!store_->hasFolder())
        messages_.show(
            L"找不到应用程序数据文件夹，快捷回复无法读取和保存。\n其它功能可以照常使用。",
            L"快捷回复条", MessageKind::Error);
}

// The per-user application data folder, made when it is missing. Without one the replies have
// no home: dataDir stays empty and the store refuses to write anywhere else.
void BarWindow::readFolders() {
    wchar_t buf[MAX_PATH] = {};
    std::wstring path;
    if (SUCCEEDED(::SHGetFolderPathW(hwnd_, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                     SHGFP_TYPE_CURRENT, buf)))
        path = buf;
    state_.dataDir = dataDirFrom(path);
    state_.quickLaunchDir = quickLaunchDirFrom(path);
}

void BarWindow::placeFromSettings() {
    const SettingsFields f = parseSettingsString(settings_.read());
    // Without a saved folder the launcher lists Quick Launch, known once the folders are read.
    launchFolderFromSettings_ = f.launchFolder.has_value();
    state_.launchFolder = f.launchFolder.value_or(L"");
    state_.homePage = f.homePage.value_or(kDefaultHomePage);
    double left = 0, top = 0;
    if (f.left && f.top) {
        left = *f.left;
        top = *f.top;
    } else {
        const FirstStartPlacement p =
            firstStartPlacement(taskbar::getWorkArea(), taskbar::getScreen());
        left = p.left;
        top = p.top;
    }
    // A position from a monitor that is gone, or edited by hand, would leave the bar where no
    // one can see it, and the single instance would keep a restart from bringing it back.
    const int x = twipsToPixels(left), y = twipsToPixels(top);
    const taskbar::Rect face = keepOnScreen(
        {x, y, x + twipsToPixels(kFaceWidthTwips), y + twipsToPixels(kFaceHeightTwips)},
        taskbar::getMonitors());
    ::SetWindowPos(hwnd_, nullptr, face.left, face.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The displays or the work area changed: a bar face no longer wholly on a monitor moves onto
// the nearest one.
void BarWindow::keepBarOnScreen() {
    const PxRect w = controller_->windowRect();
    const PxPoint origin = controller_->faceOrigin();
    const int left = w.left + origin.x, top = w.top + origin.y;
    const taskbar::Rect face{left, top, left + twipsToPixels(kFaceWidthTwips),
                             top + twipsToPixels(kFaceHeightTwips)};
    const taskbar::Rect fit = keepOnScreen(face, taskbar::getMonitors());
    if (fit == face) return;
    if (controller_->panelOpen()) controller_->restoreBar();
    const PxRect bar = controller_->windowRect();
    setBounds({fit.left, fit.top, fit.left + bar.right - bar.left, fit.top + bar.bottom - bar.top});
}

void BarWindow::applyStyles() {
    const LONG_PTR ex = ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex | WS_EX_NOACTIVATE);
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void BarWindow::readOsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&info);
#pragma GCC diagnostic pop
    state_.osVersion = {static_cast<int>(info.dwMajorVersion),
                        static_cast<int>(info.dwMinorVersion)};
}

namespace {
RECT toRect(const PxRect& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT pixelRect(const TwipRect& t) {
    return {twipsToPixels(t.left), twipsToPixels(t.top), twipsToPixels(t.left + t.width),
            twipsToPixels(t.top + t.height)};
}
}  // namespace

void BarWindow::createTooltips() {
    tooltips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    // Multi-line replies keep their line breaks in the tip.
    ::SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, 400);
    ::SendMessageW(tooltips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    const wchar_t* tips[2] = {L"显示桌面", L"打开IE浏览器"};
    for (int b = 0; b < 2; ++b) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = static_cast<UINT_PTR>(b + 1);
        ti.rect = toRect(BarController::buttonRect(static_cast<BarButton>(b)));
        ti.lpszText = const_cast<wchar_t*>(tips[b]);
        ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    for (int row = 0; row < kReplyRows; ++row) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = kRowToolBase + row;
        ti.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

namespace {
// A row shows at most this much of its reply, a tooltip a little more: a reply of a megabyte
// must not make every paint and every hover measure all of it.
constexpr std::size_t kRowTextShown = 300, kTipTextShown = 1000;
}  // namespace

// Tool rectangles follow the bar face and the rows; rows beyond the panel get none. Nothing is
// sent to the tooltips unless the panel's place or the replies changed since the last time.
void BarWindow::updateRowTooltips() {
    if (!tooltips_) return;
    const PxPoint face = controller_->faceOrigin();
    const PxRect panel = controller_->panelRect();
    const TooltipLayout layout{controller_->panelOpen(), face, panel, controller_->rowCount(),
                               controller_->rowsPerColumn()};
    if (!tooltipsStale_ && layout == tooltipLayout_) return;
    tooltipsStale_ = false;
    tooltipLayout_ = layout;
    for (int b = 0; b < 2; ++b) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd_;
        ti.uId = static_cast<UINT_PTR>(b + 1);
        ti.rect = toRect(BarController::buttonRect(static_cast<BarButton>(b)));
        ::OffsetRect(&ti.rect, face.x, face.y);
        ::SendMessageW(tooltips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    const int rows = controller_->panelOpen() ? controller_->rowCount() : 0;
    for (int row = 0; row < kReplyRows; ++row) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = hwnd_;
        ti.uId = kRowToolBase + row;
        std::wstring tip;
        if (row < rows) {
            ti.rect = pixelRect(rowTextRect(row, controller_->rowsPerColumn()));
            ::OffsetRect(&ti.rect, panel.left, panel.top);
            tip = replies_[row].fullText.substr(0, kTipTextShown);
            while (!tip.empty() && (tip.back() == L'\n' || tip.back() == L'\r')) tip.pop_back();
            if (replies_[row].fullText.size() > kTipTextShown) tip += L"…";
        }
        ::SendMessageW(tooltips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
        ti.lpszText = tip.data();
        ::SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

LRESULT BarWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_PAINT: onPaint(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT && onSetCursor()) return TRUE;
            break;
        case WM_LBUTTONDOWN: onMouseDown(MouseButton::Left, lp); return 0;
        case WM_RBUTTONDOWN: onMouseDown(MouseButton::Right, lp); return 0;
        case WM_MBUTTONDOWN: onMouseDown(MouseButton::Middle, lp); return 0;
        case WM_MOUSEMOVE: onMouseMove(lp); return 0;
        case WM_MOUSELEAVE: pointerInside_ = false; return 0;
        case WM_LBUTTONUP: onMouseUp(MouseButton::Left, lp); return 0;
        case WM_RBUTTONUP: onMouseUp(MouseButton::Right, lp); return 0;
        case WM_MBUTTONUP: onMouseUp(MouseButton::Middle, lp); return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse (a lock screen, a prompt): the press is over, and a
            // drag must not go on following the pointer.
            if (reinterpret_cast<HWND>(lp) != hwnd_) {
                pressed_.reset();
                controller_->captureLost();
            }
            return 0;
        case WM_CANCELMODE:
            if (::GetCapture() == hwnd_) ::ReleaseCapture();
            break;
        case WM_WINDOWPOSCHANGED:
            onWindowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lp));
            break;
        case WM_DISPLAYCHANGE: keepBarOnScreen(); break;
        case WM_SETTINGCHANGE:
            if (wp == SPI_SETWORKAREA) keepBarOnScreen();
            break;
        case WM_TIMER: onTimer(wp); return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION:
            if (wp) endSession();
            return 0;
        case WM_CLOSE: requestClose(); return 0;
        case WM_DESTROY: ::PostQuitMessage(0); return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

// Like the controls the bar is made of, the control that got the press receives the moves and
// the release that follow it.
void BarWindow::onMouseDown(MouseButton button, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    // Remember where the user is typing: dialogs opened from the bar give it back on closing.
    if (HWND fg = ::GetForegroundWindow()) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(fg, &pid);
        if (pid != ::GetCurrentProcessId()) userWindow_ = fg;
    }
    const Target t = pressed_ ? *pressed_ : controller_->hitTest(x, y);
    controller_->mouseDown(t, button, x, y);
    // A press that ended in a modal dialog has no release here.
    if (controller_->pressConsumed()) return;
    pressed_ = t;
    ::SetCapture(hwnd_);
}

// Above every window, or just behind a full-screen one in front on the bar's monitor.
void BarWindow::keepOnTop() {
    // The menu's own loop has the z-order in hand while it is open; a change of it now would
    // close the menu.
    if (!hwnd_ || shutDown_ || launcherMenuShowing_) return;
    const HWND fg = ::GetForegroundWindow();
    lastForeground_ = fg;
    ForegroundWindow front;
    RECT r{};
    if (fg && fg != hwnd_ && ::GetWindowRect(fg, &r)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(fg, &pid);
        front = {true,
                 {r.left, r.top, r.right, r.bottom},
                 isDesktopWindow(fg),
                 pid == ::GetCurrentProcessId()};
    }
    const MONITORINFO info = barMonitor();
    const taskbar::Rect monitor{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                                info.rcMonitor.bottom};
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (barLayerFor(front, monitor) == BarLayer::Topmost) {
        ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                       flags | (hiddenForFullScreen_ ? SWP_SHOWWINDOW : 0));
        hiddenForFullScreen_ = false;
        return;
    }
    // Out of the way of the full-screen program: out of sight, as it would be behind it; the
    // next change of the foreground brings the bar back.
    if (controller_->panelOpen()) controller_->restoreBar();
    ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, flags | SWP_NOZORDER | SWP_HIDEWINDOW);
    hiddenForFullScreen_ = true;
}

void BarWindow::onMouseMove(LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    if (!pointerInside_) {  // the pointer entered: on top before anything opens
        pointerInside_ = true;
        keepOnTop();
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        ::TrackMouseEvent(&track);
    }
    controller_->mouseMove(pressed_ ? *pressed_ : controller_->hitTest(x, y), x, y);
}

void BarWindow::onMouseUp(MouseButton button, LPARAM lp) {
    if (!pressed_) return;
    const Target t = *pressed_;
    const bool othersDown =
        (::GetKeyState(VK_LBUTTON) | ::GetKeyState(VK_RBUTTON) | ::GetKeyState(VK_MBUTTON)) &
        0x8000;
    if (!othersDown) {
        pressed_.reset();
        ::ReleaseCapture();
    }
    controller_->mouseUp(t, button, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
}

// Whoever moved the window (the bar itself, the display mend, Windows), the rules work from
// where it is now.
void BarWindow::onWindowPosChanged(const WINDOWPOS& pos) {
    if (!controller_ || (pos.flags & SWP_NOMOVE && pos.flags & SWP_NOSIZE)) return;
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    controller_->setWindowRect({r.left, r.top, r.right, r.bottom});
}

void BarWindow::setBounds(const PxRect& r) {
    ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void BarWindow::setRegion(const std::vector<PxRect>& rects) {
    if (rects.empty()) {
        ::SetWindowRgn(hwnd_, nullptr, TRUE);
        return;
    }
    win::UniqueRgn all(
        ::CreateRoundRectRgn(rects[0].left, rects[0].top, rects[0].right, rects[0].bottom, 0, 0));
    for (std::size_t i = 1; i < rects.size(); ++i) {
        win::UniqueRgn part(::CreateRoundRectRgn(rects[i].left, rects[i].top, rects[i].right,
                                                 rects[i].bottom, 0, 0));
        ::CombineRgn(all.get(), all.get(), part.get(), RGN_OR);
    }
    // The window owns the region from here on.
    if (::SetWindowRgn(hwnd_, all.get(), TRUE)) all.release();
}

void BarWindow::invalidate() {
    if (!hwnd_) return;  // gone: a null window would invalidate the whole desktop
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    updateRowTooltips();
}

// The monitor the bar is on (the nearest one); the primary screen when the system says none.
MONITORINFO BarWindow::barMonitor() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        info.rcMonitor =
            info.rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return info;
}

PxRect BarWindow::workArea() {
    const RECT w = barMonitor().rcWork;
    return {w.left, w.top, w.right, w.bottom};
}

PxPoint BarWindow::cursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return {p.x, p.y};
}

void BarWindow::enable(TimerId id, unsigned intervalMs) {
    ::SetTimer(hwnd_, static_cast<UINT_PTR>(id) + 1, intervalMs, nullptr);
    if (id == TimerId::MenuCloseCountdown) menuCountdownOn_ = true;
}

void BarWindow::disable(TimerId id) {
    ::KillTimer(hwnd_, static_cast<UINT_PTR>(id) + 1);
    if (id == TimerId::MenuCloseCountdown) menuCountdownOn_ = false;
}

void BarWindow::runButtonAction(BarButton button) {
    switch (button) {
        case BarButton::Desktop:
            launch::showDesktop(state_, {*files_, shell_, desktop_, messages_});
            break;
        case BarButton::Home:
            shell_.open(launch::homePageToOpen(state_.homePage, clock_.weekday()));
            break;
        case BarButton::Launch: showLauncherMenu(); break;
        case BarButton::Reply: break;  // the reply panel is the controller's own
    }
}

// The menu's close countdown ticks inside its modal loop, on this thread: EndMenu closes it there.
void BarWindow::closeLauncherMenu() { ::EndMenu(); }

// The folder is listed on a worker thread: the bar keeps answering while a slow or offline
// drive takes its time, and the menu is made here when the content arrives.
void BarWindow::buildLauncherMenu() {
    launcherShell_ = win::ShellOpener(hwnd_, &messages_);
    if (!launcherBuild_)
        launcherBuild_ = std::make_unique<launch::BackgroundLauncherBuild>(
            [this](launch::LauncherContent content) { onLauncherContent(std::move(content)); });
    launcherBuild_->start(state_.launchFolder);
}

void BarWindow::onLauncherContent(launch::LauncherContent content) {
    // A folder changed since this build started gets a build of its own (its timer is on).
    if (shutDown_ || content.folder != state_.launchFolder) return;
    // Replacing the menu under the user's pointer would close it: wait until it closes.
    if (launcherMenuShowing_) {
        launcherContentWaiting_ = std::move(content);
        return;
    }
    launcherMenuFolder_ = content.folder;
    launch::fillLauncherMenu(
        {menu::MenuHost{&state_, this, &launcherShell_, [this] { shutdown(); }, leftBarPicture_},
         &messages_},
        std::move(content), launcherMenu_);
}

// At the launcher button's top-left corner. Nothing before the first build, and nothing while
// the menu of a newly set folder is being built: the old menu's entries would be opened from
// the new folder, where they are not.
void BarWindow::showLauncherMenu() {
    keepOnTop();
    if (!launcherMenu_ || launcherMenuFolder_ != state_.launchFolder) return;
    const PxRect bar = controller_->windowRect();
    const launch::ScreenPoint at = launch::launcherMenuPosition(
        static_cast<double>(bar.left + controller_->faceOrigin().x) * kTwipsPerPixel,
        static_cast<double>(bar.top + controller_->faceOrigin().y) * kTwipsPerPixel);
    ::SetTimer(hwnd_, kMenuWatch, 100, nullptr);
    launcherMenuShowing_ = true;
    launcherMenu_->PopupMenu(at.x, at.y, 0);
    launcherMenuShowing_ = false;
    ::KillTimer(hwnd_, kMenuWatch);
    lastForeground_ = nullptr;  // the watch takes its place again at its next look
    // After the chosen item's WM_COMMAND, which is posted and still refers to this menu: timer
    // messages come only when no posted message is waiting.
    if (launcherContentWaiting_) ::SetTimer(hwnd_, kLauncherHandOver, 0, nullptr);
}

void BarWindow::watchMenuPointer() {
    HWND menuWindow = nullptr;  // the popup menu's window, on this thread
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM found) -> BOOL {
            wchar_t cls[16] = {};
            ::GetClassNameW(h, cls, 16);
            if (::lstrcmpW(cls, L"#32768") != 0 || !::IsWindowVisible(h)) return TRUE;
            *reinterpret_cast<HWND*>(found) = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&menuWindow));
    if (!menuWindow) return;
    RECT r{};
    POINT p{};
    ::GetWindowRect(menuWindow, &r);
    ::GetCursorPos(&p);
    controller_->watchMenuPointer(::PtInRect(&r, p) != FALSE, menuCountdownOn_);
}

void BarWindow::openReplyEditor() {
    if (dialogOpen_ || shutDown_) return;
    dialogOpen_ = true;
    if (controller_->panelOpen()) controller_->restoreBar();
    std::array<HICON, 10> icons{};
    for (int i = 0; i < 10; ++i) icons[i] = pictures_.classIcons[i].get();
    const ReplyEditorWindow::Result result =
        ReplyEditorWindow::showModal({hwnd_, state_, replies_, *files_, *this, icons, userWindow_});
    dialogOpen_ = false;
    if (closeAfterDialog_) return shutdown();
    invalidate();
    if (result == ReplyEditorWindow::Result::ExitProgram) exitProgram();
}

void BarWindow::setPanelSize(const PanelSize& size) {
    controller_->setPanelSize(size);
    tooltipsStale_ = true;  // the replies changed with it
}

// "退出本程序": the bar closes, which saves the settings string.
void BarWindow::exitProgram() { shutdown(); }

void BarWindow::openSettingsDialog() {
    if (dialogOpen_ || shutDown_) return;
    dialogOpen_ = true;
    if (controller_->panelOpen()) controller_->restoreBar();
    const launch::SettingsOutcome outcome =
        launch::SettingsWindow::showModal({hwnd_, state_, *this, userWindow_});
    dialogOpen_ = false;
    if (closeAfterDialog_) return shutdown();
    invalidate();
    if (outcome == launch::SettingsOutcome::ExitProgram) exitProgram();
    if (outcome == launch::SettingsOutcome::OpenReplyEditor) openReplyEditor();
}

void BarWindow::resetButtonPictures() {
    controller_->resetPictures({BarButton::Desktop, BarButton::Home, BarButton::Launch});
}

// The launcher menu is built from launchFolder on the build timer's next tick, as at start-up.
void BarWindow::rebuildLauncherMenu() { enable(TimerId::BuildLauncherMenu, kBuildLauncherMenuDelayMs); }

void BarWindow::saveSettings() { writeSettingsString(); }

void BarWindow::onPaint() {
    win::PaintDc paint(hwnd_);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    win::UniqueDc mem(::CreateCompatibleDC(paint.get()));
    win::UniqueBitmap canvas(::CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
    win::SelectGuard sel(mem.get(), canvas.get());
    ::FillRect(mem.get(), &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (controller_->panelOpen()) paintPanel(mem.get());
    const PxPoint face = controller_->faceOrigin();
    win::drawBitmap(mem.get(), pictures_.skin.get(), face.x, face.y);
    for (int b = 0; b < win::kButtonCount; ++b) {
        const PxRect r = BarController::buttonRect(static_cast<BarButton>(b));
        const int pic = static_cast<int>(controller_->picture(static_cast<BarButton>(b)));
        win::drawBitmap(mem.get(), pictures_.buttons[b][pic].get(), face.x + r.left,
                        face.y + r.top);
    }
    ::BitBlt(paint.get(), 0, 0, client.right, client.bottom, mem.get(), 0, 0, SRCCOPY);
}

// The reply panel: the rows over the icon strip, the highlight band beneath text and icon; a tall
// panel in columns, each with its strip. Drawn in the panel's own coordinates.
void BarWindow::paintPanel(HDC dc) {
    const PxRect panel = controller_->panelRect();
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, panel.left, panel.top, panel.right, panel.bottom);
    ::SetViewportOrgEx(dc, panel.left, panel.top, nullptr);
    RECT area{0, 0, panel.right - panel.left, panel.bottom - panel.top};
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_WINDOW));
    win::UniqueBrush stripBrush(::CreateSolidBrush(RGB(219, 216, 209)));
    const int columns = columnsFor(controller_->rowCount(), controller_->rowsPerColumn());
    for (int c = 0; c < columns; ++c) {
        TwipRect s = kIconStrip;
        s.left += c * kPanelWidth;
        const RECT strip = pixelRect(s);
        ::FillRect(dc, &strip, stripBrush.get());
    }
    if (const auto band = controller_->bandRect()) {
        win::UniqueBrush fill(::CreateSolidBrush(RGB(182, 189, 210)));
        win::UniquePen edge(::CreatePen(PS_SOLID, 1, RGB(10, 36, 106)));
        win::SelectGuard b(dc, fill.get());
        win::SelectGuard p(dc, edge.get());
        ::Rectangle(dc, band->left, band->top, band->right, band->bottom);
    }
    if (!rowFont_)
        rowFont_.reset(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, L"宋体"));
    win::SelectGuard font(dc, rowFont_.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    const int perColumn = controller_->rowsPerColumn();
    for (int row = 0; row < controller_->rowCount(); ++row) {
        const Reply& r = replies_[row];
        const RECT ic = pixelRect(rowIconRect(row, perColumn));
        if (r.icon >= 0 && r.icon < 10 && pictures_.classIcons[r.icon])
            ::DrawIconEx(dc, ic.left, ic.top, pictures_.classIcons[r.icon].get(), 16, 16, 0,
                         nullptr, DI_NORMAL);
        RECT t = pixelRect(rowTextRect(row, perColumn));
        ::DrawTextW(dc, r.displayText.c_str(),
                    static_cast<int>(std::min(r.displayText.size(), kRowTextShown)), &t,
                    DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_TOP | DT_LEFT);
    }
    ::RestoreDC(dc, saved);
}

bool BarWindow::onSetCursor() {
    POINT pt{};
    ::GetCursorPos(&pt);
    ::ScreenToClient(hwnd_, &pt);
    const Target t = controller_->hitTest(pt.x, pt.y);
    if (t.kind != Target::DragStrip) return false;
    ::SetCursor(pictures_.dragCursor ? pictures_.dragCursor : ::LoadCursorW(nullptr, IDC_SIZEALL));
    return true;
}

void BarWindow::onTimer(UINT_PTR id) {
    if (id == kBuildLauncherMenuTimer) {
        // One build per enabling: the timer stops before the build can take any time.
        ::KillTimer(hwnd_, kBuildLauncherMenuTimer);
        buildLauncherMenu();
        return;
    }
    if (id == kLauncherHandOver) {
        ::KillTimer(hwnd_, kLauncherHandOver);
        if (auto content = std::exchange(launcherContentWaiting_, std::nullopt))
            onLauncherContent(std::move(*content));
        return;
    }
    if (id == static_cast<UINT_PTR>(TimerId::PanelPointerPoll) + 1) controller_->timerTick(TimerId::PanelPointerPoll);
    if (id == static_cast<UINT_PTR>(TimerId::MenuCloseCountdown) + 1) controller_->timerTick(TimerId::MenuCloseCountdown);
    if (id == static_cast<UINT_PTR>(TimerId::PickStep) + 1)
        controller_->timerTick(TimerId::PickStep);
    if (id == kMenuWatch) watchMenuPointer();
    if (id == kForegroundWatch && ::GetForegroundWindow() != lastForeground_) keepOnTop();
}

void BarWindow::writeSettingsString() {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    // The bar face's position: with the reply panel open the window's top is higher by the
    // panel, and saving that would move the bar up at the next start.
    const PxPoint face = controller_->faceOrigin();
    const long long left = static_cast<long long>(r.left + face.x) * kTwipsPerPixel;
    const long long top = static_cast<long long>(r.top + face.y) * kTwipsPerPixel;
    saveSettingsString(settings_, messages_,
                       formatSettingsString(left, top, state_.launchFolder, state_.homePage));
}

// A close asked for while a dialog is open (by Windows, another program, the restart manager)
// ends the dialog first, discarding what it had not taken over, and the bar closes once the
// dialog's loop has unwound.
void BarWindow::requestClose() {
    if (!dialogOpen_) return shutdown();
    closeAfterDialog_ = true;
    win::endModalLoops();
}

// The session ends (logoff, shutdown, or the restart manager closing the bar for an update):
// the settings are saved now, once, since the process may end as soon as this returns; the bar
// then closes as if asked to.
void BarWindow::endSession() {
    if (shutDown_ || settingsSaved_) return;
    writeSettingsString();
    settingsSaved_ = true;
    ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void BarWindow::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (foregroundHook_) ::UnhookWinEvent(foregroundHook_);
    foregroundHook_ = nullptr;
    if (g_barOnTop == this) g_barOnTop = nullptr;
    if (!settingsSaved_) writeSettingsString();
    settingsSaved_ = true;
    launcherMenu_.reset();  // takes the menu hook off the menu's owner window and destroys the popup menu
    ::DestroyWindow(hwnd_);
}

}  // namespace replybar
