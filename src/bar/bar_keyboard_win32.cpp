// The bar from the keyboard: the hotkey that opens and closes the reply panel, the panel's own
// keys while keyboard mode lasts, and what ends that mode from outside the panel (a click
// elsewhere, a lock of the screen). The rules are the controller's; this is where the system
// tells of them.
#include "bar/bar_window_win32.h"

#include <wtsapi32.h>

#include "core/run_at_logon.h"
#include "win/run_at_logon_win32.h"

namespace replybar {

namespace {

// Posted by the mouse hook: a button went down outside the bar while keyboard mode was on.
constexpr UINT kClickedElsewhere = WM_APP + 1;
// Posted after a hotkey: the mouse hook follows keyboard mode.
constexpr UINT kSyncMouseHook = WM_APP + 2;

// The bar of this process, for the low-level mouse hook, which has no other way to find it.
HWND g_keyboardBar = nullptr;

LRESULT CALLBACK mouseHookProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && g_keyboardBar &&
        (wp == WM_LBUTTONDOWN || wp == WM_RBUTTONDOWN || wp == WM_MBUTTONDOWN ||
         wp == WM_XBUTTONDOWN)) {
        RECT bar{};
        ::GetWindowRect(g_keyboardBar, &bar);
        if (!::PtInRect(&bar, reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->pt))
            ::PostMessageW(g_keyboardBar, kClickedElsewhere, 0, 0);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

// After the first paint: the hotkey and the send key as stored, the logon entry following a
// moved program, and the lock of the screen heard of.
void BarWindow::startKeyboard() {
    hotkeys_.setWindow(hwnd_);
    const keys::KeySettings stored = keys::readKeySettings(settings_);
    controller_->setSendKey(stored.sendKey);
    hotkey_ = stored.hotkey;
    hotkeyRegistered_ = registerHotkey(hotkey_);
    win::RunAtLogon run;
    correctStaleRunValue(run, *files_, win::exePath());
    sessionNotices_ = ::WTSRegisterSessionNotification(hwnd_, NOTIFY_FOR_THIS_SESSION) != FALSE;
    if (!hotkeyRegistered_)
        messages_.show(keys::hotkeyTakenAtStartText(hotkey_), L"快捷回复条", MessageKind::Info);
}

void BarWindow::stopKeyboard() {
    controller_->endKeyboardMode(KeyboardModeEnd::SessionEnded);
    syncMouseHook();
    if (hotkeyRegistered_) hotkeys_.unregisterKey(kPanelToggleHotkeyId);
    hotkeyRegistered_ = false;
    if (sessionNotices_) ::WTSUnRegisterSessionNotification(hwnd_);
    sessionNotices_ = false;
}

bool BarWindow::registerHotkey(const keys::Hotkey& hotkey) {
    return hotkeys_.registerKey(kPanelToggleHotkeyId, keys::registerModifiers(hotkey),
                                hotkey.virtualKey);
}

bool BarWindow::onKeyboardMessage(UINT msg, WPARAM wp) {
    switch (msg) {
        case WM_HOTKEY:
            // A dialog has the user's attention; the panel stays closed under it.
            if (dialogOpen_ || shutDown_) return true;
            if (static_cast<int>(wp) == kPanelToggleHotkeyId)
                controller_->hotkeyPressed();
            else
                controller_->panelKeyPressed(static_cast<int>(wp));
            // The panel on screen first; the mouse hook once the message loop has shown it.
            ::UpdateWindow(hwnd_);
            ::GdiFlush();
            ::PostMessageW(hwnd_, kSyncMouseHook, 0, 0);
            return true;
        case kSyncMouseHook: syncMouseHook(); return true;
        case kClickedElsewhere:
            controller_->endKeyboardMode(KeyboardModeEnd::ClickedElsewhere);
            return true;
        case WM_WTSSESSION_CHANGE:
            if (wp == WTS_SESSION_LOCK || wp == WTS_CONSOLE_DISCONNECT ||
                wp == WTS_REMOTE_DISCONNECT)
                controller_->endKeyboardMode(KeyboardModeEnd::SessionEnded);
            return true;
    }
    return false;
}

// The mouse hook lives exactly as long as keyboard mode: every click on the system passes
// through it.
void BarWindow::syncMouseHook() {
    const bool wanted = controller_ && controller_->keyboardMode() && !shutDown_;
    if (wanted == (mouseHook_ != nullptr)) return;
    if (wanted) {
        g_keyboardBar = hwnd_;
        mouseHook_ =
            ::SetWindowsHookExW(WH_MOUSE_LL, mouseHookProc, ::GetModuleHandleW(nullptr), 0);
    } else {
        ::UnhookWindowsHookEx(mouseHook_);
        mouseHook_ = nullptr;
        g_keyboardBar = nullptr;
    }
}

// The settings dialog's hotkey field must receive the combination the bar holds, so the bar
// gives it up while the dialog is open and takes it (or the new one) again afterwards.
void BarWindow::releaseHotkeyForDialog() {
    if (hotkeyRegistered_) hotkeys_.unregisterKey(kPanelToggleHotkeyId);
    hotkeyRegistered_ = false;
}

void BarWindow::retakeHotkeyAfterDialog() {
    if (!hotkeyRegistered_ && !shutDown_) hotkeyRegistered_ = registerHotkey(hotkey_);
}

// At confirm: the new combination is tried now, or refused with the old one kept. The dialog
// is still open, so the bar holds no hotkey (see above); it takes the new one when the dialog
// has closed.
bool BarWindow::applyHotkey(const keys::Hotkey& hotkey) {
    if (hotkeyRegistered_) return false;  // only while the dialog has the hotkey released
    if (!registerHotkey(hotkey)) return false;
    hotkeys_.unregisterKey(kPanelToggleHotkeyId);
    hotkey_ = hotkey;
    return true;
}

void BarWindow::setSendKey(keys::SendKey key) { controller_->setSendKey(key); }

}  // namespace replybar
