#include "settings/settings_in_use.h"

#include "core/settings_texts.h"

namespace replybar::settings {

void SettingsInUse::load() {
    Settings stored;
    readSettingsString(stores_.string, stored);
    readKeySettings(stores_.numbers, stored);
    readTeamLibrary(stores_.texts, stored);
    readTeamCheckSeconds(stores_.numbers, stored);
    current_ = stored;
}

// The folder as written: the one listed, Quick Launch when none was set.
Settings SettingsInUse::withFolder() const {
    Settings s = current_;
    s.launchFolder = launchFolder();
    return s;
}

void SettingsInUse::saveString() { saveSettingsString(stores_.string, stores_.messages, withFolder()); }

bool SettingsInUse::take(const Settings& chosen) {
    const Settings before = current_;
    bool allTaken = true;
    std::wstring reason;

    Settings string = withFolder();
    string.launchFolder = chosen.launchFolder;
    string.homePage = chosen.homePage;
    if (stores_.string.write(formatSettingsString(string), reason)) {
        current_.launchFolder = chosen.launchFolder;
        current_.homePage = chosen.homePage;
    } else {
        allTaken = false;
        stores_.messages.show(texts::kFolderAndHomeNotSaved + reason, texts::kMessageTitle,
                              MessageKind::Error);
    }

    Settings keys = current_;
    keys.hotkey = chosen.hotkey;
    keys.sendKey = chosen.sendKey;
    if (writeKeySettings(stores_.numbers, keys, reason)) {
        current_.hotkey = chosen.hotkey;
        current_.sendKey = chosen.sendKey;
    } else {
        allTaken = false;
        stores_.messages.show(texts::kKeySettingsNotSaved + reason, texts::kMessageTitle,
                              MessageKind::Error);
    }

    Settings team = current_;
    team.teamLibrary = chosen.teamLibrary;
    if (writeTeamLibrary(stores_.texts, team, reason)) {
        current_.teamLibrary = chosen.teamLibrary;
    } else {
        allTaken = false;
        stores_.messages.show(texts::kTeamLibraryNotSaved + reason, texts::kMessageTitle,
                              MessageKind::Error);
    }

    unsigned changed = 0;
    if (current_.launchFolder != before.launchFolder) changed |= kLaunchFolderChanged;
    if (current_.homePage != before.homePage) changed |= kHomePageChanged;
    if (!(current_.hotkey == before.hotkey)) changed |= kHotkeyChanged;
    if (current_.sendKey != before.sendKey) changed |= kSendKeyChanged;
    if (current_.teamLibrary != before.teamLibrary) changed |= kTeamLibraryChanged;
    if (changed)
        for (ISettingsListener* listener : listeners_) listener->settingsChanged(current_, changed);
    return allTaken;
}

}  // namespace replybar::settings
