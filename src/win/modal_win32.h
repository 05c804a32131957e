// What the program's modal dialogs share: their message loop, and handing the foreground back
// to the window the user was typing in, since the bar itself never takes it.
#pragma once

#include <windows.h>

namespace replybar::win {

// Where a dialog of that client size and style sits: centred in the work area.
RECT centredDialogRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// Runs the messages of the thread, with the dialog keys of `dialog` (Tab, Enter, Esc), until
// `done` is set. A WM_QUIT on the way ends the loop and is posted again for the main loop.
void runModalLoop(HWND dialog, const bool& done);

// Brings `dialog` to the front with the keyboard: the bar that opened it never has it.
void bringToFront(HWND dialog);

// After a dialog closed: the foreground goes back to where the user was typing.
void returnForeground(HWND userWindow);

}  // namespace replybar::win
