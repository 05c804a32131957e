// Every setting the user chooses, in one value with its defaults, and how each is read from and
// written to the place it is kept. Three stored forms, each read and written at its own time:
// - the settings string, REG_SZ "String3": the bar face's position, the launch folder and the
//   home page; read before the bar is first painted, written when it closes and at each
//   confirmation of the settings dialog;
// - the numbers "Hotkey" and "SendKey" beside it, REG_DWORD: read at start and by the settings
//   dialog, written at its confirmation;
// - the team library's location, REG_SZ "TeamLibrary" beside them: read at start and by the
//   settings dialog, written at its confirmation;
// - the logon entry (core/run_at_logon.h), with Task Manager's switch for it: read at each
//   opening of the settings dialog (Task Manager may have changed it meanwhile), written only
//   when the user changes the start box.
#pragma once

#include <optional>
#include <string>

#include "core/key_settings.h"
#include "core/keystrokes.h"
#include "core/ports.h"
#include "core/run_at_logon.h"

namespace replybar {

// The default home page: the maker's portal with a referral query; it never holds ",".
inline constexpr wchar_t kDefaultHomePage[] = L"https://www.example.com/?from=replybar";
// What marks a home page as the portal's: its domain name followed by "/?".
inline constexpr wchar_t kPortalMarker[] = L"www.example.com/?";

// The bar face's top-left corner as stored: twips, 15 per pixel. A hand-edited value may hold a
// fraction.
struct StoredPosition {
    double left = 0, top = 0;
    bool operator==(const StoredPosition&) const = default;
};

inline constexpr int kDefaultTeamCheckSeconds = 60;
inline constexpr wchar_t kTeamCheckSecondsValue[] = L"TeamLibraryCheckSeconds";

struct Settings {
    std::optional<StoredPosition> position;    // none: the first-start placement
    std::optional<std::wstring> launchFolder;  // none: Quick Launch, known once folders are read
    std::wstring homePage = kDefaultHomePage;
    keys::Hotkey hotkey = keys::kDefaultHotkey;
    keys::SendKey sendKey = keys::SendKey::CtrlEnter;
    // Ticked only when the logon entry starts this very copy and Task Manager lets it; else
    // what stands in the way, said beside the box.
    StartBox startWithWindows;
    // The file the team shares its replies in: a full path or an http(s) address; "" for none.
    std::wstring teamLibrary;
    // How often the team library is looked at besides the folder's change notices, seconds.
    // Not in the dialog: an administrator (or a test) sets the number "TeamLibraryCheckSeconds".
    int teamCheckSeconds = kDefaultTeamCheckSeconds;
    // What {客服} in a reply pastes: "我的称呼" in the dialog; "" when not set.
    std::wstring agentName;
    bool operator==(const Settings&) const = default;
};

// The settings string "Left,Top,launchFolder,homePage". Left and Top are the first two fields,
// the home page the last (it never holds a comma) and the folder everything between, so a folder
// with commas survives. Fewer than four fields give the defaults; positions that are not both
// numbers give none, the folder and home page still taken. The rest of `settings` is kept.
void parseSettingsString(const std::wstring& text, Settings& settings);
// A position that is not there is written as 0,0; positions are written as whole twips.
std::wstring formatSettingsString(const Settings& settings);
// The home page as the settings string can hold it: a comma, which would move part of it into
// the folder, is stored as "%2C", the same address to every browser.
std::wstring storableHomePage(std::wstring homePage);

// The value names of the numbers (the registry key is the settings string's).
inline constexpr wchar_t kHotkeyValue[] = L"Hotkey";    // the hotkey control's word
inline constexpr wchar_t kSendKeyValue[] = L"SendKey";  // 0 Ctrl+Enter, 1 Enter
// The team library's value name, a text beside the numbers.
inline constexpr wchar_t kTeamLibraryValue[] = L"TeamLibrary";
// The agent's name, a text beside it.
inline constexpr wchar_t kAgentNameValue[] = L"AgentName";
// A name as typed, as it is kept: one line, no spaces around it, at most kAgentNameMax
// characters (a greeting's name, not a paragraph).
inline constexpr std::size_t kAgentNameMax = 30;
std::wstring cleanAgentName(const std::wstring& typed);

// What a team library location typed by the user is: none, a file by its full path (a drive
// path, or \\server\share\...), a web address, or one of the reasons it cannot be used.
enum class TeamLocation {
    None,
    Path,
    Address,
    Relative,      // x.csv, ..\x.csv, \x.csv, C:x.csv: it depends on the current folder
    Folder,        // ends with a separator, or is a share itself: no file named
    BadCharacter,  // a character no Windows path holds (< > " | ? * :, control characters)
    NoServer,      // \\ or http:// without the server (or share) after it
    Unusable,      // another scheme (ftp://, file://) or nothing like a location
};
inline bool usable(TeamLocation kind) {
    return kind == TeamLocation::None || kind == TeamLocation::Path ||
           kind == TeamLocation::Address;
}
struct TeamLibraryCheck {
    std::wstring location;  // the typed text less the spaces and quotes around it
    TeamLocation kind = TeamLocation::None;
};
// Spaces (a full-width one too) and the quotes of Explorer's "copy as path" around the text
// are dropped; what is left is judged. Whether the file is there is not: a share may be out of
// reach for now, a laptop off the company network.
TeamLibraryCheck checkTeamLibrary(const std::wstring& typed);

// Each reads its stored form into the fields it holds; a value that is missing, of another type
// or makes no sense reads as the default.
void readSettingsString(ISettingsStore& store, Settings& settings);
void readKeySettings(ISettingNumbers& numbers, Settings& settings);
void readStartWithWindows(IRunAtLogon& run, const std::wstring& exePath, Settings& settings);
// A stored location that cannot be used (edited by hand) reads as none.
void readTeamLibrary(ISettingTexts& texts, Settings& settings);
// 2 to 3600 seconds; anything else reads as the default.
void readTeamCheckSeconds(ISettingNumbers& numbers, Settings& settings);
void readAgentName(ISettingTexts& texts, Settings& settings);

// Writes the settings string; when the system refuses, one message says what was not saved and
// why, and the bar goes on.
void saveSettingsString(ISettingsStore& store, IMessages& messages, const Settings& settings);
// Writes both numbers; false with the system's reason at the first refusal.
bool writeKeySettings(ISettingNumbers& numbers, const Settings& settings, std::wstring& reason);
// Writes the team library's location, "" when there is none; false with the system's reason.
bool writeTeamLibrary(ISettingTexts& texts, const Settings& settings, std::wstring& reason);
bool writeAgentName(ISettingTexts& texts, const Settings& settings, std::wstring& reason);
// Ticked, the entry is pointed at this copy; unticked, removed. False with the system's reason.
bool writeStartWithWindows(IRunAtLogon& run, const std::wstring& exePath, bool on,
                           std::wstring& reason);

}  // namespace replybar
