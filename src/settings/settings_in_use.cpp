#include "settings/settings_in_use.h"

#include "core/settings_texts.h"

namespace replybar::settings {

void SettingsInUse::load() {
    Settings stored;
    readSettingsString(stores_.string, stored);
    readKeySettings(stores_.numbers, stored);
    readTeamLibrary(stores_.texts, stored);
    readTeamCheckSeconds(stores_.numbers, stored);
    readAgentName(stores_.texts, stored);
    current_ = stored;
}

// The folder as written: the one listed, Quick Launch when none was set.
Settings SettingsInUse::withFolder() const {
    Settings s = current_;
    s.launchFolder = launchFolder();
    return s;
}

void SettingsInUse::saveString() { saveSettingsString(stores_.string, stores_.messages, withFolder()); }

// A write of one stored form: refused, the user hears which values stay as they were, and why.
bool SettingsInUse::stored(bool written, const wchar_t* whatStays, const std::wstring& reason) {
    if (!written)
        stores_.messages.show(whatStays + reason, texts::kMessageTitle, MessageKind::Error);
    return written;
}

bool SettingsInUse::take(const Settings& chosen) {
    const Settings before = current_;
    std::wstring reason;
    Settings next = withFolder();
    next.launchFolder = chosen.launchFolder;
    next.homePage = chosen.homePage;
    const bool string = stored(stores_.string.write(formatSettingsString(next), reason),
                               texts::kFolderAndHomeNotSaved, reason);
    if (string) {
        current_.launchFolder = chosen.launchFolder;
        current_.homePage = chosen.homePage;
    }
    next = current_;
    next.hotkey = chosen.hotkey;
    next.sendKey = chosen.sendKey;
    const bool keys = stored(writeKeySettings(stores_.numbers, next, reason),
                             texts::kKeySettingsNotSaved, reason);
    if (keys) current_ = next;
    next = current_;
    next.teamLibrary = chosen.teamLibrary;
    const bool team = stored(writeTeamLibrary(stores_.texts, next, reason),
                             texts::kTeamLibraryNotSaved, reason);
    if (team) current_ = next;
    // Any text stored reads as a name: only a change is written.
    next = current_;
    next.agentName = cleanAgentName(chosen.agentName);
    const bool name = next.agentName == current_.agentName ||
                      stored(writeAgentName(stores_.texts, next, reason),
                             texts::kAgentNameNotSaved, reason);
    if (name) current_ = next;
    tell(before);
    return string && keys && team && name;
}

// Those who follow the settings hear of the values that really changed.
void SettingsInUse::tell(const Settings& before) {
    unsigned changed = 0;
    if (current_.launchFolder != before.launchFolder) changed |= kLaunchFolderChanged;
    if (current_.homePage != before.homePage) changed |= kHomePageChanged;
    if (!(current_.hotkey == before.hotkey)) changed |= kHotkeyChanged;
    if (current_.sendKey != before.sendKey) changed |= kSendKeyChanged;
    if (current_.teamLibrary != before.teamLibrary) changed |= kTeamLibraryChanged;
    if (current_.agentName != before.agentName) changed |= kAgentNameChanged;
    if (changed)
        for (ISettingsListener* listener : listeners_) listener->settingsChanged(current_, changed);
}

}  // namespace replybar::settings
