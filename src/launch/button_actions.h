// What the bar's Show Desktop, home page and launcher buttons do on a left click. The window
// runs these; everything they need of the desktop comes through the ports.
#pragma once

#include <string>

#include "core/bar_state.h"
#include "core/geometry.h"
#include "core/ports.h"

namespace replybar::launch {

inline constexpr wchar_t kShowDesktopLink[] = L"显示桌面.lnk";
inline constexpr wchar_t kShowDesktopCommandFile[] = L"显示桌面.scf";
// Where some installations keep a Show Desktop shortcut for every new user.
inline constexpr wchar_t kDefaultUserShowDesktopLink[] =
    L"C:\\Users\\Default\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch\\"
    L"Shows Desktop.lnk";

// The shell command file's text: five lines and an empty one, each ended by CR LF.
std::wstring showDesktopCommandText();

struct ShowDesktopPorts {
    IFiles& files;
    IShell& shell;
    IDesktop& desktop;
    IMessages& messages;
};

// Show Desktop. On Windows 7 and later: the user's own "显示桌面.lnk" in Quick Launch, else the default
// user's shortcut, else the shell's own toggle, and only when that fails a command file in the
// data folder (written once, never over a file that is there). Up to Vista: the command file in
// Quick Launch, written when there is no normal file of that name. A file that cannot be written
// is reported once and nothing half-written stays behind.
void showDesktop(const BarState& state, const ShowDesktopPorts& ports);

// The home page button: the address to open. A portal home page gives way to the default one at weekends
// (`weekday`: Sunday = 1 … Saturday = 7).
std::wstring homePageToOpen(const std::wstring& homePage, int weekday);

// The launcher button: where the launcher menu drops down, in screen pixels: the button's top-left
// corner, from the bar face's place on the screen and the button's place on the face.
inline constexpr int kLauncherButtonLeft = 770, kLauncherButtonTop = 60;  // twips on the face
PxPoint launcherMenuPosition(PxPoint face);

}  // namespace replybar::launch
