#include "launch/settings_dialog.h"

#include <utility>

namespace replybar::launch {

namespace {

constexpr wchar_t kTitle[] = L"快捷回复条";
constexpr wchar_t kHotkeyInvalidText[] =
    L"这个快捷键不能用。\n\n请在“呼出快捷回复”一栏中按住 Ctrl 或 Alt（可以再加 Shift），"
    L"再按一个字母、数字、功能键（F12 除外）或方向键。";

std::wstring hotkeyTakenText(const keys::Hotkey& wanted, const keys::Hotkey& kept) {
    return L"快捷键 " + keys::hotkeyText(wanted) + L" 已经被另一个程序占用，请换一个组合。\n\n" +
           L"快捷回复条仍然使用原来的快捷键 " + keys::hotkeyText(kept) + L"。";
}

std::wstring trimmed(const std::wstring& text, const wchar_t* around) {
    const std::size_t first = text.find_first_not_of(around);
    if (first == std::wstring::npos) return L"";
    return text.substr(first, text.find_last_not_of(around) - first + 1);
}

}  // namespace

SettingsDialog::SettingsDialog(BarState& state, Ports ports, ISettingsView& view,
                               ISettingsHost& host)
    : state_(state), ports_(std::move(ports)), view_(view), host_(host) {}

void SettingsDialog::open() {
    view_.setFolderText(state_.launchFolder);
    view_.setHomeText(state_.homePage);
    view_.enableHome(false);
    keys_ = keys::readKeySettings(ports_.numbers);
    view_.setHotkeyWord(keys_.hotkey.word());
    view_.setSendKey(keys_.sendKey);
    // Ticked only when Windows will start this very copy at logon; an entry that starts
    // another copy or program, or that Task Manager holds back, is said beside the box.
    const StartBox box =
        startBoxFor(ports_.runAtLogon.read(),
                    disabledInTaskManager(ports_.runAtLogon.startupApproval()), ports_.exePath);
    startsWithWindows_ = box.ticked;
    view_.setStartWithWindows(box.ticked);
    view_.setStartNote(box.note);
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

void SettingsDialog::confirmClicked() {
    keys::Hotkey hotkey;
    if (!takeHotkey(hotkey)) return;
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
    takeKeySettings({hotkey, view_.sendKey()});
    takeStartWithWindows();
    finish(SettingsOutcome::Confirmed);
    host_.resetButtonPictures();
    host_.rebuildLauncherMenu();
    // At once, not only at shutdown: a crash or a power cut must not take the user's choice.
    host_.saveSettings();
}

// The hotkey is tried first: refused, the user chooses again with every other change still in
// the dialog, and nothing has been taken over yet.
bool SettingsDialog::takeHotkey(keys::Hotkey& chosen) {
    const std::optional<keys::Hotkey> hotkey = keys::validHotkey(view_.hotkeyWord());
    std::wstring refusal;
    if (!hotkey)
        refusal = kHotkeyInvalidText;
    else if (!keys::sameCombination(*hotkey, keys_.hotkey) && !host_.applyHotkey(*hotkey))
        refusal = hotkeyTakenText(*hotkey, keys_.hotkey);
    if (!refusal.empty()) {
        ports_.messages.show(refusal, kTitle, MessageKind::Info);
        view_.focusHotkey();
        return false;
    }
    chosen = *hotkey;
    return true;
}

// Written even when unchanged: a stored value that made no sense is put right.
void SettingsDialog::takeKeySettings(const keys::KeySettings& chosen) {
    std::wstring reason;
    if (!keys::writeKeySettings(ports_.numbers, chosen, reason))
        ports_.messages.show(
            L"快捷键和自动发送的按键只在这次运行中有效，没能保存到注册表：\n" + reason, kTitle,
            MessageKind::Error);
    host_.setSendKey(chosen.sendKey);
    keys_ = chosen;
}

// Only a change of the box touches the logon entry: an entry shown unticked (another copy's,
// another program's of the same name, one Task Manager holds back) stays as it is while the box
// stays unticked, and ticking points it at this copy. Task Manager's switch is the user's.
void SettingsDialog::takeStartWithWindows() {
    const bool on = view_.startWithWindows();
    if (on == startsWithWindows_) return;
    std::wstring reason;
    const bool done = on ? ports_.runAtLogon.write(runCommandFor(ports_.exePath), reason)
                         : ports_.runAtLogon.remove(reason);
    if (done) {
        startsWithWindows_ = on;
        return;
    }
    ports_.messages.show(std::wstring(on ? L"没能设置开机时自动启动快捷回复条：\n"
                                         : L"没能取消开机时自动启动快捷回复条：\n") +
                             reason,
                         kTitle, MessageKind::Error);
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

}  // namespace replybar::launch
