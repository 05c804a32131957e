#include "bar/bar_keyboard_win32.h"

#include <wtsapi32.h>

#include "core/message_titles.h"
#include "core/settings_texts.h"
#include "win/private_messages.h"

namespace replybar {

namespace {

// The hotkey and the session notices are asked for again this often while the system will not
// give them: another program may let go of the combination, and at logon the session service
// may not be up yet.
constexpr unsigned kRegistrationRetryMs = 3000;
constexpr UINT_PTR kRegistrationRetryTimer = static_cast<UINT_PTR>(TimerId::RegistrationRetry);

constexpr wchar_t kNoClickWatchText[] =
    L"Windows 没有允许快捷回复条留意鼠标点击，所以这次不能用键盘选择回复。\n请用鼠标点选回复。";

}  // namespace

void BarKeyboard::start(const keys::Hotkey& hotkey, win::UiQueue& queue) {
    const HWND bar = context_.bar;
    hotkey_ = hotkey;
    context_.hotkeys.setWindow(bar);
    registered_ = registerHotkey(hotkey_);
    clickWatch_ = std::make_unique<ClickWatch>(
        queue.poster(), [this] { onClickSeen(); },
        [this] {
            if (!context_.controller.keyboardMode()) return;
            context_.controller.endKeyboardMode(KeyboardModeEnd::NoClickWatch);
            syncMouseHook();
            context_.messages.show(kNoClickWatchText, texts::kMessageTitle, MessageKind::Info);
        });
    sessionNotices_ = ::WTSRegisterSessionNotification(bar, NOTIFY_FOR_THIS_SESSION) != FALSE;
    if (!registered_ || !sessionNotices_)
        ::SetTimer(bar, kRegistrationRetryTimer, kRegistrationRetryMs, nullptr);
    if (!registered_)
        context_.messages.show(texts::hotkeyTakenAtStart(hotkey_), texts::kMessageTitle,
                               MessageKind::Info);
}

void BarKeyboard::stop() {
    stopped_ = true;
    context_.controller.endKeyboardMode(KeyboardModeEnd::SessionEnded);
    clickWatch_.reset();
    ::KillTimer(context_.bar, kRegistrationRetryTimer);
    if (registered_) context_.hotkeys.unregisterKey(hotkeyId(HotkeyId::PanelToggle));
    registered_ = false;
    if (sessionNotices_) ::WTSUnRegisterSessionNotification(context_.bar);
    sessionNotices_ = false;
}

bool BarKeyboard::registerHotkey(const keys::Hotkey& hotkey) {
    return context_.hotkeys.registerKey(hotkeyId(HotkeyId::PanelToggle),
                                        keys::registerModifiers(hotkey), hotkey.virtualKey);
}

// Whatever the system would not give at start or after the settings dialog, asked for again;
// the timer stops once the bar has both.
void BarKeyboard::retryRegistrations() {
    if (stopped_) return;
    if (!registered_ && !context_.dialogOpen()) registered_ = registerHotkey(hotkey_);
    if (!sessionNotices_)
        sessionNotices_ =
            ::WTSRegisterSessionNotification(context_.bar, NOTIFY_FOR_THIS_SESSION) != FALSE;
    if (registered_ && sessionNotices_) ::KillTimer(context_.bar, kRegistrationRetryTimer);
}

bool BarKeyboard::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_HOTKEY: onHotkey(static_cast<int>(wp), HIWORD(lp)); return true;
        case win::kHotkeyAfterMenu:
            onHotkey(hotkeyId(HotkeyId::PanelToggle), static_cast<std::uint16_t>(wp));
            return true;
        case win::kSyncMouseHook: syncMouseHook(); return true;
        case WM_TIMER:
            if (wp != kRegistrationRetryTimer) return false;
            retryRegistrations();
            return true;
        case WM_WTSSESSION_CHANGE:
            if (wp == WTS_SESSION_LOCK || wp == WTS_CONSOLE_DISCONNECT ||
                wp == WTS_REMOTE_DISCONNECT)
                context_.controller.endKeyboardMode(KeyboardModeEnd::SessionEnded);
            return true;
    }
    return false;
}

void BarKeyboard::onHotkey(int id, std::uint16_t virtualKey) {
    if (id == hotkeyId(HotkeyId::PanelToggle)) {
        if (!context_.mayOpenPanel()) return;
        if (context_.launcherMenuShowing()) {
            // The panel does not open under the menu: the menu closes first, and the hotkey
            // is taken once the menu's loop has ended.
            context_.closeLauncherMenu();
            ::PostMessageW(context_.bar, win::kHotkeyAfterMenu, virtualKey, 0);
            return;
        }
        context_.controller.hotkeyPressed(virtualKey);
    } else {
        if (stopped_) return;
        context_.controller.panelKeyPressed(id);
    }
    // The panel on screen first; then the keys still down are noted, and the click watch set
    // once the message loop has shown it.
    ::UpdateWindow(context_.bar);
    ::GdiFlush();
    context_.controller.keyboardPanelShown();
    ::PostMessageW(context_.bar, win::kSyncMouseHook, 0, 0);
}

// A press somewhere on the desktop while keyboard mode is on. Where it went is read now, on the
// bar's thread, in the bar's own coordinates: the cursor and the window under it.
void BarKeyboard::onClickSeen() {
    if (!context_.controller.keyboardMode()) return;
    POINT p{};
    ::GetCursorPos(&p);
    std::optional<bool> underIsBar;
    if (const HWND under = ::WindowFromPoint(p))
        underIsBar = ::GetAncestor(under, GA_ROOT) == context_.bar;
    RECT r{};
    ::GetWindowRect(context_.bar, &r);
    if (clickWentToBar(underIsBar, p.x, p.y, r.left, r.top, r.right, r.bottom)) return;
    context_.controller.endKeyboardMode(KeyboardModeEnd::ClickedElsewhere);
    syncMouseHook();
}

void BarKeyboard::syncMouseHook() {
    if (!clickWatch_) return;
    clickWatch_->watch(context_.controller.keyboardMode() && !stopped_);
}

void BarKeyboard::releaseForDialog() {
    if (registered_) context_.hotkeys.unregisterKey(hotkeyId(HotkeyId::PanelToggle));
    registered_ = false;
}

// Another program may have taken the combination while the dialog had it released: the user
// hears so, as at start, and the bar takes it as soon as it is free again.
void BarKeyboard::retakeAfterDialog() {
    if (registered_ || stopped_) return;
    registered_ = registerHotkey(hotkey_);
    if (registered_) return;
    ::SetTimer(context_.bar, kRegistrationRetryTimer, kRegistrationRetryMs, nullptr);
    context_.messages.show(texts::hotkeyTakenAtStart(hotkey_), texts::kMessageTitle,
                           MessageKind::Info);
}

bool BarKeyboard::available(const keys::Hotkey& hotkey) {
    if (registered_) return false;  // only while the dialog has the hotkey released
    if (!registerHotkey(hotkey)) return false;
    context_.hotkeys.unregisterKey(hotkeyId(HotkeyId::PanelToggle));
    return true;
}

}  // namespace replybar
