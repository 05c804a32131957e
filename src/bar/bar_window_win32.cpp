#include "bar/bar_window_win32.h"

#include <shlobj.h>
#include <windowsx.h>

#include <utility>

#include "bar/startup.h"
#include "bar/taskbar.h"
#include "core/files.h"
#include "core/message_titles.h"
#include "core/run_at_logon.h"
#include "core/settings.h"
#include "core/settings_texts.h"
#include "launch/button_actions.h"
#include "reply/reply_store.h"
#include "win/private_messages.h"
#include "win/run_at_logon_win32.h"
#include "win/window_class.h"

namespace replybar {

namespace {

constexpr wchar_t kClassName[] = L"ReplyBar.Bar";
constexpr UINT_PTR kBuildLauncherMenuTimer = static_cast<UINT_PTR>(TimerId::BuildLauncherMenu);

}  // namespace

BarWindow::BarWindow() = default;
BarWindow::~BarWindow() = default;

// Up to the bar on screen and painted: only what that needs runs before it.
bool BarWindow::create() {
    queue_ = std::make_unique<win::UiQueue>();
    win::registerWindowClass<BarWindow>(kClassName);
    pictures_.loadFace();
    ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"快捷回复条", WS_POPUP, 0, 0,
                      kBarFaceWidthPx, kBarFaceHeightPx, nullptr, nullptr,
                      ::GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    messages_.setOwner(hwnd_);
    clipboard_ = win::Clipboard(hwnd_);
    shell_.setOwner(hwnd_);
    makeParts();
    settings_.load();
    settings_.listen(settingsFollower_);
    placeFromSettings(settings_.current());
    // The send key from now on; the hotkey is registered once the bar is painted.
    controller_->setSendKey(settings_.current().sendKey);
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
    settings_.setDefaultLaunchFolder(state_.quickLaunchDir);
    launcherMenu_ = std::make_unique<BarLauncherMenu>(BarLauncherMenu::Context{
        hwnd_, *queue_, [this] { return settings_.launchFolder(); }, actions_, messages_,
        [this] { shutdown(); },
        [this](launch::MenuPointer where) { controller_->watchMenuPointer(where); }});
    files_ = makeSystemFiles();
    store_ = std::make_unique<ReplyStore>(*files_, messages_, state_.dataDir);
    replies_ = store_->loadReplies(replies_);
    controller_->panel().setOwnSize(panelSizeFor(replies_.count()));
    // The team's replies from the local copy at once; the source is read off this thread.
    team_ = std::make_unique<TeamLibraryHolder>(queue_->poster(), [this] { takeTeamOutcomes(); },
                                                *files_, teamCacheFolder());
    team_->setLocation(settings_.current().teamLibrary, settings_.current().teamCheckSeconds);
    controller_->panel().setTeamGroups(team_->groups());
    history_.start(*files_, state_.dataDir, *queue_);
    controller_->panel().setHistory(history_.history());
    tooltips_.create(hwnd_, [this](const std::wstring& reply) {
        return controller_->fields().preview(reply);
    });
    stayOnTop_->start();
    if (!store_->hasFolder())
        messages_.show(
            L"找不到应用程序数据文件夹，快捷回复无法读取和保存。\n其它功能可以照常使用。",
            texts::kMessageTitle, MessageKind::Error);
    win::RunAtLogon run;
    correctStaleRunValue(run, *files_, win::exePath());
    keyboard_->start(settings_.current().hotkey, *queue_);
}

// The per-user application data folder, made when it is missing. Without one the replies have
// no home: dataDir stays empty and the store refuses to write anywhere else.
// The local copy of the team library lives in the user's local application data: it is this
// machine's, and a roaming profile need not carry it.
std::wstring BarWindow::teamCacheFolder() {
    wchar_t buf[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(hwnd_, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                  SHGFP_TYPE_CURRENT, buf)))
        return L"";
    return dataDirFrom(buf) + L"ReplyBar\\";
}

// A new version of the team library waits while the panel is open or a pick is going out: the
// row under the user's finger must stay the reply it shows.
void BarWindow::takeTeamOutcomes() {
    if (!team_) return;
    teamOutcomeWaiting_ = controller_->panelOpen() || controller_->picking();
    if (!teamOutcomeWaiting_ && team_->takeOutcomes()) teamLibraryChanged();
}

// Told from inside the controller's own steps: the outcomes are taken once they have unwound.
void BarWindow::repliesIdle() {
    if (teamOutcomeWaiting_) ::PostMessageW(hwnd_, win::kTeamLibraryOutcome, 0, 0);
}

// A new version or none: the panel shows what is in use now, and is drawn anew.
void BarWindow::teamLibraryChanged() {
    controller_->panel().setTeamGroups(team_ ? team_->groups() : nullptr);
    painter_.repliesChanged();
    tooltips_.markStale();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void BarWindow::readFolders() {
    wchar_t buf[MAX_PATH] = {};
    std::wstring path;
    if (SUCCEEDED(::SHGetFolderPathW(hwnd_, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                     SHGFP_TYPE_CURRENT, buf)))
        path = buf;
    state_.dataDir = dataDirFrom(path);
    state_.quickLaunchDir = quickLaunchDirFrom(path);
}

void BarWindow::placeFromSettings(const Settings& stored) {
    double left = 0, top = 0;
    if (stored.position) {
        left = stored.position->left;
        top = stored.position->top;
    } else {
        const FirstStartPlacement p =
            firstStartPlacement(taskbar::getWorkArea(), taskbar::getScreen());
        left = p.left;
        top = p.top;
    }
    // A position from a monitor that is gone, or edited by hand, would leave the bar where no
    // one can see it, and the single instance would keep a restart from bringing it back.
    const int x = twipsToPixels(left), y = twipsToPixels(top);
    const PxRect face =
        keepOnScreen({x, y, x + kBarFaceWidthPx, y + kBarFaceHeightPx}, taskbar::getMonitors());
    ::SetWindowPos(hwnd_, nullptr, face.left, face.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The displays or the work area changed: a bar face no longer wholly on a monitor moves onto
// the nearest one.
void BarWindow::keepBarOnScreen() {
    const PxRect w = controller_->windowRect();
    const PxPoint origin = controller_->faceOrigin();
    const int left = w.left + origin.x, top = w.top + origin.y;
    const PxRect face{left, top, left + kBarFaceWidthPx, top + kBarFaceHeightPx};
    const PxRect fit = keepOnScreen(face, taskbar::getMonitors());
    if (fit == face) return;
    controller_->restoreBar();
    const PxRect bar = controller_->windowRect();
    surface_.setBounds(
        {fit.left, fit.top, fit.left + bar.right - bar.left, fit.top + bar.bottom - bar.top});
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

LRESULT BarWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (keyboard_ && keyboard_->onMessage(msg, wp, lp)) return 0;
    tooltips_.relay(msg, wp, lp);
    switch (msg) {
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_PAINT:
            painter_.paint(hwnd_, *controller_, pictures_);
            if (std::exchange(tooltipsDue_, false))
                ::PostMessageW(hwnd_, win::kUpdateTooltips, 0, 0);
            return 0;
        case win::kUpdateTooltips: tooltips_.update(controller_->panel()); return 0;
        case win::kTeamLibraryOutcome: takeTeamOutcomes(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_NCPAINT: return 0;  // no frame, no caption: nothing outside the client area
        case WM_NOTIFY:
            if (tooltips_.notify(*reinterpret_cast<const NMHDR*>(lp))) return 0;
            break;
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
        case WM_SYSCOLORCHANGE:
            painter_.repliesChanged();
            break;  // the panel's colours are the system's
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
        if (pid != ::GetCurrentProcessId() && dialogs_) dialogs_->noteUserWindow(fg);
    }
    const Target t = pressed_ ? *pressed_ : controller_->hitTest(x, y);
    controller_->mouseDown(t, button, x, y);
    // A press that ended in a modal dialog has no release here.
    if (controller_->pressConsumed()) return;
    pressed_ = t;
    ::SetCapture(hwnd_);
}

void BarWindow::onMouseMove(LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    if (!pointerInside_) {  // the pointer entered: on top before anything opens
        pointerInside_ = true;
        keepOnTop();
        // The launcher menu is built when the pointer first comes: a 150-entry folder's icons
        // are megabytes at rest, for a menu the user may not open.
        if (launcherMenu_ && !launcherMenu_->started()) launcherMenu_->build();
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

// At the launcher button's top-left corner, on top of everything first.
void BarWindow::showLauncherMenu() {
    if (!launcherMenu_) return;
    keepOnTop();
    const PxRect bar = controller_->windowRect();
    const int faceX = bar.left + controller_->faceOrigin().x;
    const int faceY = bar.top + controller_->faceOrigin().y;
    const PxPoint at = launch::launcherMenuPosition({faceX, faceY});
    // A menu too tall for the room above or below the button opens beside the face, whose
    // button stays free.
    const PxRect face{faceX, faceY, faceX + kBarFaceWidthPx, faceY + kBarFaceHeightPx};
    const PxRect button = BarController::buttonRect(BarButton::Launch);
    launcherMenu_->show(at.x, at.y, {face.left, face.top, face.right, face.bottom},
                        {face.left + button.left, face.top + button.top, face.left + button.right,
                         face.top + button.bottom});
    if (stayOnTop_) stayOnTop_->forgetForeground();  // the watch takes its place again
}

void BarWindow::keepOnTop() {
    if (stayOnTop_) stayOnTop_->keepOnTop();
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
        launcherMenu_->build();
        return;
    }
    if (launcherMenu_ && launcherMenu_->onTimer(id)) return;
    if (stayOnTop_ && stayOnTop_->onTimer(id)) return;
    for (TimerId t : {TimerId::PanelPointerPoll, TimerId::MenuCloseCountdown, TimerId::PickStep,
                      TimerId::HeldKeyWatch})
        if (id == static_cast<UINT_PTR>(t)) controller_->timerTick(t);
    if (keyboard_) keyboard_->syncMouseHook();  // a pick that ended on its timer ends the mode
}

}  // namespace replybar
