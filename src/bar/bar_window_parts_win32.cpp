// The parts the bar window hands its work to, and how they reach each other: made once the
// window is there, before the bar is first painted.
#include "bar/bar_window_win32.h"

#include "core/settings_texts.h"
#include "launch/button_actions.h"

namespace replybar {

void BarWindow::makeParts() {
    surface_.attach(hwnd_, [this] { repainted(); });
    actions_.settingsDialog = [this] { dialogs_->openSettingsDialog(); };
    actions_.replyEditor = [this](int row, std::optional<std::wstring> text, int icon) {
        dialogs_->openReplyEditor(row, std::move(text), icon);
    };
    actions_.buttonAction = [this](BarButton b) { runButtonAction(b); };
    actions_.closeMenu = [] { ::EndMenu(); };  // ticks inside the menu's loop, on this thread
    actions_.picked = [this](const std::wstring& g, const std::wstring& t) { history_.picked(g, t); };
    actions_.idle = [this] { repliesIdle(); };
    actions_.agentNameSetting = [this] { dialogs_->openSettingsDialog(true); };
    blanks_ = std::make_unique<fill::BlankBox>(hwnd_);
    controller_ = std::make_unique<BarController>(
        replies_, BarController::Ports{surface_, surface_, clipboard_, keys_, messages_, actions_,
                                       target_, clock_, hotkeys_, *blanks_,
                                       [this] { return settings_.current().agentName; }});
    actions_.controller = controller_.get();
    keyboard_ = std::make_unique<BarKeyboard>(BarKeyboard::Context{
        hwnd_, *controller_, messages_, hotkeys_, [this] { return mayOpenPanel(); },
        [this] { return dialogs_->open(); },
        [this] { return launcherMenu_ && launcherMenu_->showing(); }, [] { ::EndMenu(); }});
    dialogs_ = std::make_unique<BarDialogs>(BarDialogs::Context{
        hwnd_, state_, replies_, pictures_, *controller_, *keyboard_, settings_,
        [this]() -> IFiles& { return *files_; },
        [this] {
            const std::wstring& where = settings_.current().teamLibrary;
            if (!team_) return where.empty() ? std::wstring() : texts::kTeamLibraryReading;
            return team_->status();
        },
        [this] {
            tooltips_.markStale();
            painter_.repliesChanged();
        },
        [this] { shutdown(); }});
    stayOnTop_ = std::make_unique<StayOnTop>(StayOnTop::Context{
        hwnd_,
        // The menu's own loop has the z-order in hand while it is open; a change of it now
        // would close the menu.
        [this] { return shutDown_ || (launcherMenu_ && launcherMenu_->showing()); },
        [this] { controller_->restoreBar(); },
        [this] {
            controller_->endKeyboardMode(KeyboardModeEnd::ForegroundChanged);
            keyboard_->syncMouseHook();
        }});
}

// Those who follow a setting hear of it only when it really changed.
void BarWindow::followSettings(const Settings& now, unsigned changed) {
    if (changed & settings::kSendKeyChanged) controller_->setSendKey(now.sendKey);
    if (changed & settings::kHotkeyChanged) keyboard_->setHotkey(now.hotkey);
    if (changed & settings::kLaunchFolderChanged)
        surface_.enable(TimerId::BuildLauncherMenu, kBuildLauncherMenuDelayMs);
    if (changed & settings::kTeamLibraryChanged && team_) {
        team_->setLocation(now.teamLibrary, now.teamCheckSeconds);
        teamLibraryChanged();
    }
}

// After each change of the picture: the tooltips follow once the panel is on screen, and
// keyboard mode may have ended with the change (one that starts sets its click watch once the
// panel is on screen).
void BarWindow::repainted() {
    tooltipsDue_ = true;
    if (keyboard_) keyboard_->syncMouseHook();
}

// Keyboard mode only where the user sees it: not while the bar is out of sight behind a
// full-screen program, nor while one of its boxes or dialogs has the user's attention.
bool BarWindow::mayOpenPanel() const {
    return !shutDown_ && !(dialogs_ && dialogs_->open()) && !win::MessageBoxes::anyShowing() &&
           !fill::BlankBox::anyShowing() && ::IsWindowVisible(hwnd_);
}

void BarWindow::runButtonAction(BarButton button) {
    switch (button) {
        case BarButton::Desktop:
            launch::showDesktop(state_, {*files_, shell_, desktop_, messages_});
            break;
        case BarButton::Home:
            shell_.open(launch::homePageToOpen(settings_.current().homePage, clock_.weekday()));
            break;
        case BarButton::Launch: showLauncherMenu(); break;
        case BarButton::Reply: break;  // the reply panel is the controller's own
    }
}

}  // namespace replybar
