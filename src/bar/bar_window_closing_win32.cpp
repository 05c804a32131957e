// The bar's closing: the settings string written once when the bar closes or the session ends,
// the last picks with it, and a close that waits for an open dialog.
#include "bar/bar_window_win32.h"

#include "win/modal_win32.h"

namespace replybar {

// The face's position with the rest: with the reply panel open the window's top is higher by
// the panel, and saving that would move the bar up at the next start.
void BarWindow::writeSettingsString() {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    const PxPoint face = controller_->faceOrigin();
    const long long left = static_cast<long long>(r.left + face.x) * kTwipsPerPixel;
    const long long top = static_cast<long long>(r.top + face.y) * kTwipsPerPixel;
    settings_.setPosition({static_cast<double>(left), static_cast<double>(top)});
    settings_.saveString();
}

// A close asked for while a dialog is open (by Windows, another program, the restart manager)
// ends the dialog first, discarding what it had not taken over, and the bar closes once the
// dialog's loop has unwound. The box of a pick's blanks ends as Esc would, sending nothing.
void BarWindow::requestClose() {
    if (dialogs_ && dialogs_->open()) return dialogs_->closeWhenDone();
    if (fill::BlankBox::anyShowing()) {
        win::endModalLoops();
        ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    }
    shutdown();
}

// The session ends (logoff, shutdown, or the restart manager closing the bar for an update):
// the settings and the last picks are saved now, once, since the process may end as soon as this
// returns; the bar then closes as if asked to.
void BarWindow::endSession() {
    if (shutDown_ || settingsSaved_) return;
    writeSettingsString();
    history_.finish();
    settingsSaved_ = true;
    ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void BarWindow::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (stayOnTop_) stayOnTop_->stop();
    if (keyboard_) keyboard_->stop();
    if (!settingsSaved_) writeSettingsString();
    settingsSaved_ = true;
    history_.finish();
    if (launcherMenu_) launcherMenu_->close();
    ::DestroyWindow(hwnd_);
}

}  // namespace replybar
