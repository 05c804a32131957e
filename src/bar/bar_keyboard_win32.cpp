// The bar from the keyboard: the hotkey that opens and closes the reply panel, the panel's own
// keys while keyboard mode lasts, and what ends that mode from outside the panel (a click
// elsewhere, a lock of the screen). The rules are the controller's; this is where the system
// tells of them.
#include "bar/bar_window_win32.h"

#include <wtsapi32.h>

#include "core/message_titles.h"
#include "core/run_at_logon.h"
#include "core/settings_texts.h"
#include "win/run_at_logon_win32.h"

namespace replybar {

namespace {

// Posted by the click watch: a mouse button went down somewhere while keyboard mode was on.
constexpr UINT kClickSeen = WM_APP + 1;
// Posted after a hotkey: the click watch follows keyboard mode.
constexpr UINT kSyncMouseHook = WM_APP + 2;
// Posted by the click watch: the system refused its hook.
constexpr UINT kClickWatchFailed = WM_APP + 3;
// The hotkey came while the launcher menu was open: the menu has been told to close, and the
// hotkey is taken once its loop has ended. wParam: the hotkey's key.
constexpr UINT kHotkeyAfterMenu = WM_APP + 4;

// The hotkey and the session notices are asked for again this often while the system will not
// give them: another program may let go of the combination, and at logon the session service
// may not be up yet.
constexpr unsigned kRegistrationRetryMs = 3000;
constexpr UINT_PTR kRegistrationRetryTimer = static_cast<UINT_PTR>(TimerId::RegistrationRetry);

constexpr wchar_t kNoClickWatchText[] =
    L"Windows 没有允许快捷回复条留意鼠标点击，所以这次不能用键盘选择回复。\n请用鼠标点选回复。";

}  // namespace

// After the first paint: the hotkey as stored, the logon entry following a moved program, and
// the lock of the screen heard of.
void BarWindow::startKeyboard() {
    hotkeys_.setWindow(hwnd_);
    hotkeyRegistered_ = registerHotkey(hotkey_);
    win::RunAtLogon run;
    correctStaleRunValue(run, *files_, win::exePath());
    clickWatch_ = std::make_unique<ClickWatch>(hwnd_, kClickSeen, kClickWatchFailed);
    sessionNotices_ = ::WTSRegisterSessionNotification(hwnd_, NOTIFY_FOR_THIS_SESSION) != FALSE;
    if (!hotkeyRegistered_ || !sessionNotices_)
        ::SetTimer(hwnd_, kRegistrationRetryTimer, kRegistrationRetryMs, nullptr);
    if (!hotkeyRegistered_)
        messages_.show(texts::hotkeyTakenAtStart(hotkey_), texts::kMessageTitle, MessageKind::Info);
}

void BarWindow::stopKeyboard() {
    controller_->endKeyboardMode(KeyboardModeEnd::SessionEnded);
    clickWatch_.reset();
    ::KillTimer(hwnd_, kRegistrationRetryTimer);
    if (hotkeyRegistered_) hotkeys_.unregisterKey(hotkeyId(HotkeyId::PanelToggle));
    hotkeyRegistered_ = false;
    if (sessionNotices_) ::WTSUnRegisterSessionNotification(hwnd_);
    sessionNotices_ = false;
}

bool BarWindow::registerHotkey(const keys::Hotkey& hotkey) {
    return hotkeys_.registerKey(hotkeyId(HotkeyId::PanelToggle), keys::registerModifiers(hotkey),
                                hotkey.virtualKey);
}

// Whatever the system would not give at start or after the settings dialog, asked for again;
// the timer stops once the bar has both.
void BarWindow::retryRegistrations() {
    if (shutDown_) return;
    if (!hotkeyRegistered_ && !dialogOpen_) hotkeyRegistered_ = registerHotkey(hotkey_);
    if (!sessionNotices_)
        sessionNotices_ =
            ::WTSRegisterSessionNotification(hwnd_, NOTIFY_FOR_THIS_SESSION) != FALSE;
    if (hotkeyRegistered_ && sessionNotices_) ::KillTimer(hwnd_, kRegistrationRetryTimer);
}

bool BarWindow::onKeyboardMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_HOTKEY:
            onHotkey(static_cast<int>(wp), HIWORD(lp));
            return true;
        case kHotkeyAfterMenu:
            onHotkey(hotkeyId(HotkeyId::PanelToggle), static_cast<std::uint16_t>(wp));
            return true;
        case kSyncMouseHook: syncMouseHook(); return true;
        case kClickSeen: onClickSeen(); return true;
        case kClickWatchFailed:
            if (!controller_->keyboardMode()) return true;
            controller_->endKeyboardMode(KeyboardModeEnd::NoClickWatch);
            syncMouseHook();
            messages_.show(kNoClickWatchText, texts::kMessageTitle, MessageKind::Info);
            return true;
        case WM_TIMER:
            if (wp != kRegistrationRetryTimer) return false;
            retryRegistrations();
            return true;
        case WM_WTSSESSION_CHANGE:
            if (wp == WTS_SESSION_LOCK || wp == WTS_CONSOLE_DISCONNECT ||
                wp == WTS_REMOTE_DISCONNECT)
                controller_->endKeyboardMode(KeyboardModeEnd::SessionEnded);
            return true;
    }
    return false;
}

// Keyboard mode only where the user sees it: not while the bar is out of sight behind a
// full-screen program, nor while one of its boxes or dialogs has the user's attention.
bool BarWindow::hotkeyMayOpenThePanel() const {
    return !shutDown_ && !dialogOpen_ && !win::MessageBoxes::anyShowing() &&
           ::IsWindowVisible(hwnd_);
}

void BarWindow::onHotkey(int id, std::uint16_t virtualKey) {
    if (id == hotkeyId(HotkeyId::PanelToggle)) {
        if (!hotkeyMayOpenThePanel()) return;
        if (launcherMenu_ && launcherMenu_->showing()) {
            // The panel does not open under the menu: the menu closes first, and the hotkey
            // is taken once the menu's loop has ended.
            closeLauncherMenu();
            ::PostMessageW(hwnd_, kHotkeyAfterMenu, virtualKey, 0);
            return;
        }
        controller_->hotkeyPressed(virtualKey);
    } else {
        if (shutDown_ || dialogOpen_) return;
        controller_->panelKeyPressed(id);
    }
    // The panel on screen first; then its keys, and the click watch once the message loop has
    // shown it.
    ::UpdateWindow(hwnd_);
    ::GdiFlush();
    controller_->keyboardPanelShown();
    ::PostMessageW(hwnd_, kSyncMouseHook, 0, 0);
}

// A press somewhere on the desktop while keyboard mode is on. Where it went is read now, on the
// bar's thread, in the bar's own coordinates: the cursor and the window under it.
void BarWindow::onClickSeen() {
    if (!controller_->keyboardMode()) return;
    POINT p{};
    ::GetCursorPos(&p);
    std::optional<bool> underIsBar;
    if (const HWND under = ::WindowFromPoint(p)) underIsBar = ::GetAncestor(under, GA_ROOT) == hwnd_;
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    if (clickWentToBar(underIsBar, p.x, p.y, r.left, r.top, r.right, r.bottom)) return;
    controller_->endKeyboardMode(KeyboardModeEnd::ClickedElsewhere);
    syncMouseHook();
}

// The click watch lasts exactly as long as keyboard mode: every click on the system passes
// through it.
void BarWindow::syncMouseHook() {
    if (!clickWatch_) return;
    clickWatch_->watch(controller_ && controller_->keyboardMode() && !shutDown_);
}

// The settings dialog's hotkey field must receive the combination the bar holds, so the bar
// gives it up while the dialog is open and takes it (or the new one) again afterwards.
void BarWindow::releaseHotkeyForDialog() {
    if (hotkeyRegistered_) hotkeys_.unregisterKey(hotkeyId(HotkeyId::PanelToggle));
    hotkeyRegistered_ = false;
}

// Another program may have taken the combination while the dialog had it released: the user
// hears so, as at start, and the bar takes it as soon as it is free again.
void BarWindow::retakeHotkeyAfterDialog() {
    if (hotkeyRegistered_ || shutDown_) return;
    hotkeyRegistered_ = registerHotkey(hotkey_);
    if (hotkeyRegistered_) return;
    ::SetTimer(hwnd_, kRegistrationRetryTimer, kRegistrationRetryMs, nullptr);
    messages_.show(texts::hotkeyTakenAtStart(hotkey_), texts::kMessageTitle, MessageKind::Info);
}

// At confirm: the new combination is tried now, or refused with the old one kept. The dialog
// is still open, so the bar holds no hotkey (see above); it takes the new one when the dialog
// has closed.
bool BarWindow::applyHotkey(const keys::Hotkey& hotkey) {
    if (hotkeyRegistered_) return false;  // only while the dialog has the hotkey released
    if (!registerHotkey(hotkey)) return false;
    hotkeys_.unregisterKey(hotkeyId(HotkeyId::PanelToggle));
    hotkey_ = hotkey;
    return true;
}

void BarWindow::setSendKey(keys::SendKey key) { controller_->setSendKey(key); }

}  // namespace replybar
