#include "settings/settings_dialog.h"

#include <utility>

#include "core/settings_texts.h"

namespace replybar::settings {

namespace {

std::wstring trimmed(const std::wstring& text, const wchar_t* around) {
    const std::size_t first = text.find_first_not_of(around);
    if (first == std::wstring::npos) return L"";
    return text.substr(first, text.find_last_not_of(around) - first + 1);
}

}  // namespace

SettingsDialog::SettingsDialog(const BarState& state, Ports ports, ISettingsView& view,
                               ISettingsHost& host)
    : state_(state), ports_(std::move(ports)), view_(view), host_(host) {}

void SettingsDialog::open() {
    settings_ = host_.settingsInUse();
    settings_.launchFolder = host_.launchFolderInUse();
    // Ticked only when Windows will start this very copy at logon; an entry that starts
    // another copy or program, or that Task Manager holds back, is said beside the box.
    readStartWithWindows(ports_.runAtLogon, ports_.exePath, settings_);
    view_.setFolderText(*settings_.launchFolder);
    view_.setHomeText(settings_.homePage);
    view_.enableHome(false);
    view_.setHotkeyWord(settings_.hotkey.word());
    view_.setSendKey(settings_.sendKey);
    view_.setStartWithWindows(settings_.startWithWindows.ticked);
    view_.setStartNote(settings_.startWithWindows.note);
    // A share's path stored for a mapped drive shows as both: the drive is what the user knows.
    const std::optional<std::wstring> drive =
        settings_.teamLibrary.empty() ? std::nullopt : host_.driveFormOf(settings_.teamLibrary);
    view_.setTeamLibraryText(drive ? texts::teamLibraryBothForms(*drive, settings_.teamLibrary)
                                   : settings_.teamLibrary);
    teamStatusShown_ = host_.teamLibraryStatus();
    view_.setTeamLibraryStatus(teamStatusShown_);
    view_.setAgentNameText(settings_.agentName);
}

void SettingsDialog::teamLibraryStatusDue() {
    std::wstring now = host_.teamLibraryStatus();
    if (now == teamStatusShown_) return;  // set again, the line and its tip would flicker
    teamStatusShown_ = std::move(now);
    view_.setTeamLibraryStatus(teamStatusShown_);
}

void SettingsDialog::openFolderClicked() {
    // A folder that is not there fails silently, as any address the shell cannot open.
    ports_.shell.open(view_.folderText());
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

void SettingsDialog::chooseTeamLibraryClicked() {
    const TeamLibraryCheck typed = checkTeamLibrary(teamLibraryFieldText());
    const auto chosen =
        view_.chooseTeamLibraryFile(typed.kind == TeamLocation::Path ? typed.location : L"");
    if (chosen) view_.setTeamLibraryText(*chosen);
    view_.focusTeamLibrary();
}

void SettingsDialog::confirmClicked() {
    Settings chosen = settings_;
    // The location first, since a hotkey that is taken over is in effect at once.
    if (!checkTeamLibraryField(chosen.teamLibrary)) return;
    if (!takeHotkey(chosen.hotkey)) return;
    // The folder is taken as typed, less the quotes and spaces around a path pasted from
    // Explorer's "copy as path" (no Windows path holds a quote). The browse button is what
    // guarantees the backslash.
    chosen.launchFolder = trimmed(view_.folderText(), L" \"");
    std::wstring home = view_.homeText();
    // Spaces alone (a full-width one from the input method too) open nothing.
    if (trimmed(home, L" \t\u3000").empty()) home = L"about:blank";
    chosen.homePage = storableHomePage(home);
    view_.setHomeText(chosen.homePage);
    chosen.sendKey = view_.sendKey();
    chosen.agentName = cleanAgentName(view_.agentNameText());
    takeStartWithWindows(view_.startWithWindows());
    finish(SettingsOutcome::Confirmed);
    host_.resetButtonPictures();
    // Stored at once, not only at shutdown: a crash or a power cut must not take the user's
    // choice; what the registry refuses stays as it was, and the user hears so.
    host_.takeSettings(chosen);
}

// The hotkey is tried first: refused, the user chooses again with every other change still in
// the dialog, and nothing has been taken over yet.
bool SettingsDialog::takeHotkey(keys::Hotkey& chosen) {
    const std::optional<keys::Hotkey> hotkey = keys::validHotkey(view_.hotkeyWord());
    std::wstring refusal;
    if (!hotkey)
        refusal = texts::kHotkeyInvalid;
    else if (!keys::sameCombination(*hotkey, settings_.hotkey) && !host_.hotkeyAvailable(*hotkey))
        refusal = texts::hotkeyTaken(*hotkey, settings_.hotkey);
    if (!refusal.empty()) {
        ports_.messages.show(refusal, texts::kMessageTitle, MessageKind::Info);
        view_.focusHotkey();
        return false;
    }
    chosen = *hotkey;
    return true;
}

// Only a change of the box touches the logon entry: an entry shown unticked (another copy's,
// another program's of the same name, one Task Manager holds back) stays as it is while the box
// stays unticked, and ticking points it at this copy. Task Manager's switch is the user's.
void SettingsDialog::takeStartWithWindows(bool on) {
    if (on == settings_.startWithWindows.ticked) return;
    std::wstring reason;
    if (writeStartWithWindows(ports_.runAtLogon, ports_.exePath, on, reason)) {
        settings_.startWithWindows = {on, L""};
        return;
    }
    ports_.messages.show((on ? texts::kStartNotSet : texts::kStartNotCleared) + reason,
                         texts::kMessageTitle, MessageKind::Error);
}

// The field's text; of a path shown in both forms, the share's.
std::wstring SettingsDialog::teamLibraryFieldText() {
    std::wstring text = view_.teamLibraryText();
    const std::size_t both = text.find(texts::kBothFormsOpen);
    const std::size_t close = text.find_last_not_of(L" \u3000");
    if (both == std::wstring::npos || close == std::wstring::npos || text[close] != L'）')
        return text;
    const std::size_t from = both + std::char_traits<wchar_t>::length(texts::kBothFormsOpen);
    return close > from ? text.substr(from, close - from) : text;
}

// The location as it will be stored (a path on a mapped drive as the share's own), or a message
// saying what is wrong with it and the field focused, the text left as typed.
bool SettingsDialog::checkTeamLibraryField(std::wstring& location) {
    TeamLibraryCheck typed = checkTeamLibrary(teamLibraryFieldText());
    if (!usable(typed.kind)) {
        ports_.messages.show(texts::teamLibraryRefused(typed.kind, typed.location),
                             texts::kMessageTitle, MessageKind::Info);
        view_.focusTeamLibrary();
        return false;
    }
    if (typed.kind == TeamLocation::Path)
        if (std::optional<std::wstring> share = host_.shareFormOf(typed.location))
            typed.location = std::move(*share);
    location = typed.location;
    return true;
}

void SettingsDialog::exitClicked() { finish(SettingsOutcome::ExitProgram); }

void SettingsDialog::addRepliesClicked() { finish(SettingsOutcome::OpenReplyEditor); }

void SettingsDialog::linkClicked(Link link) {
    switch (link) {
        case Link::WebSite: ports_.shell.open(kWebSite); break;
        case Link::Mail: ports_.shell.open(std::wstring(L"mailto:") + kMailAddress); break;
        case Link::Download: ports_.shell.open(kDownloadPage); break;
    }
}

void SettingsDialog::cancelled() { finish(SettingsOutcome::Discarded); }

void SettingsDialog::finish(SettingsOutcome outcome) {
    outcome_ = outcome;
    view_.close();
}

}  // namespace replybar::settings
