// Command2 "图标": the small shell icon of one launch-folder entry, drawn on the bar's 16 × 16
// icon canvas, and its enlargement onto the 32 × 32 work canvas the conversion reads.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "controls/picture_win32.h"

namespace replybar::launch {

// Picture1: 16 × 16, button-face background.
constexpr int kShellIconSize = 16;
// Picture11: 32 × 32, black background.
constexpr int kIconSize = 32;

// The icon the shell gives a plain file of that name (the file itself is not opened, so a
// shortcut shows the shortcut icon of its type): its place in the system image list.
struct ShellIcon {
    HIMAGELIST list = nullptr;  // the shared system image list; null when there is no icon
    int index = -1;
};
ShellIcon shellIconOf(const std::wstring& path);

// Clears `picture1` and draws `icon` on it; without an icon the canvas stays blank.
void drawShellIcon(menu::Canvas& picture1, const ShellIcon& icon);
inline void loadShellIcon(menu::Canvas& picture1, const std::wstring& path) {
    drawShellIcon(picture1, shellIconOf(path));
}

// All of `picture1` stretched over all of `picture11`.
void enlargeIcon(const menu::Canvas& picture1, menu::Canvas& picture11);

}  // namespace replybar::launch
