// The settings the bar runs with, and their one owner. Read from their stored forms once at
// start; from then on changed only through `take`, which writes each stored form first and
// keeps what the system refused to store as it was in use, saying so: what the bar goes by is
// always what the next start will find. Those who follow a setting hear of it only when its value
// really changed. The settings dialog opens on these values, not on what the registry holds.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ports.h"
#include "core/settings.h"

namespace replybar::settings {

// Which values a change touched.
enum Changed : unsigned {
    kLaunchFolderChanged = 1,
    kHomePageChanged = 2,
    kHotkeyChanged = 4,
    kSendKeyChanged = 8,
    kTeamLibraryChanged = 16,
    kAgentNameChanged = 32,
};

class ISettingsListener {
public:
    virtual ~ISettingsListener() = default;
    // `changed`: the Changed bits of the values that are different now.
    virtual void settingsChanged(const Settings& now, unsigned changed) = 0;
};

// A listener made of one function.
class SettingsListener : public ISettingsListener {
public:
    using Function = std::function<void(const Settings& now, unsigned changed)>;
    explicit SettingsListener(Function function) : function_(std::move(function)) {}
    void settingsChanged(const Settings& now, unsigned changed) override { function_(now, changed); }

private:
    Function function_;
};

class SettingsInUse {
public:
    struct Stores {
        ISettingsStore& string;    // the position, the launch folder, the home page
        ISettingNumbers& numbers;  // the hotkey, the send key, the team library's check
        ISettingTexts& texts;      // the team library, the agent's name
        IMessages& messages;       // what could not be stored
    };
    explicit SettingsInUse(Stores stores) : stores_(stores) {}

    // Everything as stored; a value that is missing or makes no sense reads as its default.
    void load();
    const Settings& current() const { return current_; }
    // The launch folder listed without one set: Quick Launch, known once the folders are read.
    void setDefaultLaunchFolder(const std::wstring& folder) { defaultFolder_ = folder; }
    std::wstring launchFolder() const { return current_.launchFolder.value_or(defaultFolder_); }
    void listen(ISettingsListener& listener) { listeners_.push_back(&listener); }

    // The face's position, for the next write of the settings string (at the end of the session
    // and at each confirmation).
    void setPosition(const StoredPosition& position) { current_.position = position; }
    // The settings string now; refused by the system, the user is told.
    void saveString();

    // Takes over the dialog's choice of the launch folder, the home page, the hotkey, the send
    // key, the team library and the agent's name. Each stored form is written even when unchanged, so that a
    // stored value that made no sense is put right; the values of a form the system refused to
    // store stay as they were in use, and the user hears which and why. False then.
    bool take(const Settings& chosen);

private:
    Settings withFolder() const;
    bool stored(bool written, const wchar_t* whatStays, const std::wstring& reason);
    void tell(const Settings& before);

    Stores stores_;
    Settings current_;
    std::wstring defaultFolder_;
    std::vector<ISettingsListener*> listeners_;
};

}  // namespace replybar::settings
