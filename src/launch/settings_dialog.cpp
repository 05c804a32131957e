#include "launch/settings_dialog.h"

namespace replybar::launch {

namespace {

std::wstring trimmed(const std::wstring& text, const wchar_t* around) {
    const std::size_t first = text.find_first_not_of(around);
    if (first == std::wstring::npos) return L"";
    return text.substr(first, text.find_last_not_of(around) - first + 1);
}

}  // namespace

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
    // The folder is taken as typed, less the quotes and spaces around a path pasted from
    // Explorer's "copy as path" (no Windows path holds a quote). The browse button is what
    // guarantees the backslash.
    state_.launchFolder = trimmed(view_.folderText(), L" \"");
    std::wstring home = view_.homeText();
    // Spaces alone (a full-width one from the input method too) open nothing.
    if (trimmed(home, L" \t\u3000").empty()) home = L"about:blank";
    // The settings string separates its fields with commas. The home page is its last field, so
    // a comma would move part of it into the folder: it is stored escaped, which every browser
    // reads as the same address.
    for (std::size_t at = home.find(L','); at != std::wstring::npos; at = home.find(L',', at))
        home.replace(at, 1, L"%2C");
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
