// The bar's dialogs, its settings and its closing: one dialog at a time, the settings string
// written when the bar closes or a dialog asks, and a close that waits for an open dialog.
#include "bar/bar_window_win32.h"

#include <array>

#include "bar/startup.h"
#include "core/settings.h"
#include "core/settings_texts.h"
#include "settings/settings_window_win32.h"
#include "reply/reply_editor_window_win32.h"
#include "win/modal_win32.h"

namespace replybar {

// One dialog at a time, over a closed panel. False when the bar must not go on: it was closing
// already, or a close came while the dialog was open and has now been carried out.
template <typename Dialog>
bool BarWindow::runDialog(Dialog dialog) {
    if (dialogOpen_ || shutDown_) return false;
    dialogOpen_ = true;
    if (controller_->panelOpen()) controller_->restoreBar();
    dialog();
    dialogOpen_ = false;
    if (closeAfterDialog_) {
        shutdown();
        return false;
    }
    invalidate();
    return true;
}

void BarWindow::openReplyEditor(int row) { runReplyEditor(row, std::nullopt); }

void BarWindow::openReplyEditorToAdd(const std::wstring& text, int icon) {
    runReplyEditor(0, text, icon);
}

void BarWindow::runReplyEditor(int row, std::optional<std::wstring> newReplyText, int icon) {
    std::array<HICON, 10> icons{};
    for (int i = 0; i < 10; ++i) icons[i] = pictures_.classIcons[i].get();
    ReplyEditorWindow::Result result = ReplyEditorWindow::Result::Closed;
    if (!runDialog([&] {
            result = ReplyEditorWindow::showModal({hwnd_, state_.dataDir, replies_, *files_, *this,
                                                   icons, userWindow_, controller_->sendKey(), row,
                                                   std::move(newReplyText), icon});
        }))
        return;
    painter_.repliesChanged();  // a reply's text or icon may have changed in the editor
    if (result == ReplyEditorWindow::Result::ExitProgram) exitProgram();
}


void BarWindow::setPanelSize(const PanelSize& size) {
    controller_->panel().setOwnSize(size);
    tooltips_.markStale();  // the replies changed with it
    painter_.repliesChanged();
}

// "退出本程序": the bar closes, which saves the settings string.
void BarWindow::exitProgram() { shutdown(); }

void BarWindow::openSettingsDialog() {
    settings::SettingsOutcome outcome = settings::SettingsOutcome::Discarded;
    releaseHotkeyForDialog();
    const bool goOn = runDialog([&] {
        outcome = settings::SettingsWindow::showModal({hwnd_, state_, *this, userWindow_});
    });
    retakeHotkeyAfterDialog();
    if (!goOn) return;
    if (outcome == settings::SettingsOutcome::ExitProgram) exitProgram();
    if (outcome == settings::SettingsOutcome::OpenReplyEditor) openReplyEditor();
}

void BarWindow::resetButtonPictures() {
    controller_->resetPictures({BarButton::Desktop, BarButton::Home, BarButton::Launch});
}

void BarWindow::saveSettings() { writeSettingsString(); }

void BarWindow::setTeamLibrary(const std::wstring& location) {
    teamLibrary_ = location;
    if (!team_) return;  // start-up is not through yet: it starts the library
    team_->setLocation(location, teamCheckSeconds_);
    teamLibraryChanged();
}

std::wstring BarWindow::teamLibraryStatus() {
    if (!team_) return teamLibrary_.empty() ? L"" : texts::kTeamLibraryReading;
    return team_->status();
}

// A new version or none: the panel shows what is in use now, and is drawn anew.
void BarWindow::teamLibraryChanged() {
    controller_->panel().setTeamGroups(team_ ? team_->groups() : nullptr);
    painter_.repliesChanged();
    tooltips_.markStale();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void BarWindow::writeSettingsString() {
    saveSettingsString(settings_, messages_, settingsInEffect());
}

// What the bar goes by now; the start box is the settings dialog's alone to read.
Settings BarWindow::settingsInEffect() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    // The bar face's position: with the reply panel open the window's top is higher by the
    // panel, and saving that would move the bar up at the next start.
    const PxPoint face = controller_->faceOrigin();
    Settings now;
    const long long left = static_cast<long long>(r.left + face.x) * kTwipsPerPixel;
    const long long top = static_cast<long long>(r.top + face.y) * kTwipsPerPixel;
    now.position = StoredPosition{static_cast<double>(left), static_cast<double>(top)};
    now.launchFolder = state_.launchFolder;
    now.homePage = state_.homePage;
    now.hotkey = hotkey_;
    now.sendKey = controller_->sendKey();
    now.teamLibrary = teamLibrary_;
    return now;
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
// the settings and the last picks are saved now, once, since the process may end as soon as this
// returns; the bar then closes as if asked to.
void BarWindow::endSession() {
    if (shutDown_ || settingsSaved_) return;
    writeSettingsString();
    finishHistory();
    settingsSaved_ = true;
    ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void BarWindow::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (stayOnTop_) stayOnTop_->stop();
    stopKeyboard();
    if (!settingsSaved_) writeSettingsString();
    settingsSaved_ = true;
    finishHistory();
    if (launcherMenu_) launcherMenu_->close();
    ::DestroyWindow(hwnd_);
}

}  // namespace replybar
