// The small shell icon of one launch-folder entry, drawn on the bar's icon
// canvas (16 × 16 at 96 DPI, the system's small icon size at any scale), and its enlargement
// onto the work canvas of twice that size that the conversion reads.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "controls/picture_win32.h"

namespace replybar::launch {

// The small icon at 96 DPI: 16 × 16, button-face background.
constexpr int kShellIconSize = 16;
// The enlarged icon at 96 DPI: 32 × 32, black background.
constexpr int kIconSize = 32;

// The size of the icons in the system's small-icon image list: 16 at 96 DPI, 20, 24 or 32 where
// Windows does not scale the bar (Windows 7 at 125 %, or 150 % without DPI virtualisation).
// SM_CXSMICON when the shell gives no list; held to 16..256.
int shellIconSize();

// The icon the shell gives the type of that name (the file itself is not opened, so a shortcut
// shows the shortcut icon of its type), a folder's with FILE_ATTRIBUTE_DIRECTORY: its place in
// the system image list.
struct ShellIcon {
    HIMAGELIST list = nullptr;  // the shared system image list; null when there is no icon
    int index = -1;
};
ShellIcon shellIconOf(const std::wstring& path, DWORD attributes = 0);

// Clears `smallIcon` and draws `icon` on it; without an icon the canvas stays blank.
void drawShellIcon(menu::Canvas& smallIcon, const ShellIcon& icon);
// Clears `smallIcon` and draws `icon` over all of it.
void drawIcon(menu::Canvas& smallIcon, HICON icon);
inline void loadShellIcon(menu::Canvas& smallIcon, const std::wstring& path) {
    drawShellIcon(smallIcon, shellIconOf(path));
}

// All of `smallIcon` stretched over all of `enlargedIcon`.
void enlargeIcon(const menu::Canvas& smallIcon, menu::Canvas& enlargedIcon);

}  // namespace replybar::launch
