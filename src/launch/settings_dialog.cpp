#include "launch/settings_dialog.h"

namespace replybar::launch {

SettingsDialog::SettingsDialog(BarState& state, IShell& shell, ISettingsView& view,
                               ISettingsHost& host)
    : state_(state), shell_(shell), view_(view), host_(host) {}

void SettingsDialog::open() {
    view_.setFolderText(state_.launchFolder);
    view_.setHomeText(state_.homePage);
    view_.enableHome(false);
}

void SettingsDialog::openFolderClicked() {
    // A folder that is not there fails silently, as any address the shell cannot open.
    shell_.open(view_.folderText());
    view_.focusFolder();
}

void SettingsDialog::defaultFolderClicked() {
    view_.setFolderText(state_.quickLaunchDir);
    view_.focusFolder();
}

void SettingsDialog::setHomeClicked() {
    view_.enableHome(true);
    view_.focusHome();
}

void SettingsDialog::defaultHomeClicked() { view_.setHomeText(kDefaultHomePage); }

void SettingsDialog::confirmClicked() {
    // The folder is taken as typed: the browse button is what guarantees the backslash.
    state_.launchFolder = view_.folderText();
    std::wstring home = view_.homeText();
    if (home.empty()) home = L"about:blank";
    // The settings string separates its fields with commas; the home page is its last field.
    if (home.find(L',') != std::wstring::npos) home = kDefaultHomePage;
    view_.setHomeText(home);
    state_.homePage = home;
    finish(SettingsOutcome::Confirmed);
    host_.resetButtonPictures();
    host_.rebuildLauncherMenu();
    // At once, not only at shutdown: a crash or a power cut must not take the user's choice.
    host_.saveSettings();
}

void SettingsDialog::exitClicked() { finish(SettingsOutcome::ExitProgram); }

void SettingsDialog::addRepliesClicked() { finish(SettingsOutcome::OpenReplyEditor); }

void SettingsDialog::linkClicked(Link link) {
    switch (link) {
        case Link::WebSite: shell_.open(kWebSite); break;
        case Link::Mail: shell_.open(std::wstring(L"mailto:") + kMailAddress); break;
        case Link::Download: shell_.open(kDownloadPage); break;
    }
}

void SettingsDialog::cancelled() { finish(SettingsOutcome::Discarded); }

void SettingsDialog::finish(SettingsOutcome outcome) {
    outcome_ = outcome;
    view_.close();
}

}  // namespace replybar::launch
