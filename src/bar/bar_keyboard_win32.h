// The bar from the keyboard: the hotkey that opens and closes the reply panel, the panel's own
// keys while keyboard mode lasts, and what ends that mode from outside the panel (a click
// elsewhere, a lock of the screen). The rules are the controller's; this is where the system
// tells of them.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "bar/bar_controller.h"
#include "bar/click_watch_win32.h"
#include "core/key_settings.h"
#include "win/hotkeys_win32.h"
#include "win/messages_win32.h"
#include "win/ui_queue_win32.h"

namespace replybar {

class BarKeyboard {
public:
    struct Context {
        HWND bar;
        BarController& controller;
        win::MessageBoxes& messages;
        win::WindowHotkeys& hotkeys;  // the bar's hotkeys, its window's
        // Keyboard mode only where the user sees it: not while the bar is hidden, closing or
        // behind one of its own boxes or dialogs.
        std::function<bool()> mayOpenPanel;
        std::function<bool()> dialogOpen;  // the settings dialog may be holding the hotkey
        std::function<bool()> launcherMenuShowing;
        std::function<void()> closeLauncherMenu;
    };
    explicit BarKeyboard(Context context) : context_(std::move(context)) {}

    // After the first paint: the hotkey as stored, the click watch, the lock of the screen.
    void start(const keys::Hotkey& hotkey, win::UiQueue& queue);
    // Everything given back; the click watch's thread ended.
    void stop();
    // The keyboard's window messages; true when `msg` was one of them.
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp);
    // The click watch lasts exactly as long as keyboard mode.
    void syncMouseHook();

    // The settings dialog's hotkey field must receive the combination the bar holds: the bar
    // gives it up while the dialog is open and takes it (or the new one) again afterwards.
    void releaseForDialog();
    void retakeAfterDialog();
    // Whether another program owns the combination, tried while the dialog has the bar's own
    // released.
    bool available(const keys::Hotkey& hotkey);
    // The combination in use from now on, taken after the dialog.
    void setHotkey(const keys::Hotkey& hotkey) { hotkey_ = hotkey; }

private:
    bool registerHotkey(const keys::Hotkey& hotkey);
    void retryRegistrations();
    void onHotkey(int id, std::uint16_t virtualKey);
    void onClickSeen();

    Context context_;
    keys::Hotkey hotkey_ = keys::kDefaultHotkey;  // the combination that opens the panel
    bool registered_ = false;
    bool sessionNotices_ = false;  // WM_WTSSESSION_CHANGE tells of a lock of the screen
    bool stopped_ = false;
    std::unique_ptr<ClickWatch> clickWatch_;  // its destructor ends the watch's thread
};

}  // namespace replybar
