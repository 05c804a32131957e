// What the program's modal dialogs share: their message loop, and handing the foreground back
// to the window the user was typing in, since the bar itself never takes it.
#pragma once

#include <windows.h>

#include <functional>

namespace replybar::win {

// Where a dialog of that client size and style sits: centred on the work area of the monitor
// the owner (the bar) is on.
RECT centredDialogRect(HWND owner, int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// A dialog window of `className` (registered with the thunk, `self` its object) with a caption
// and a close box, of that client size, centred as above, hidden until runModal shows it; its
// controls take part in Tab. Null when it could not be made.
HWND createDialogWindow(const wchar_t* className, const wchar_t* caption, int clientWidth,
                        int clientHeight, DWORD extraStyle, HWND owner, void* self);

// What a dialog does at the steps of the protocol below; each may be left empty.
struct ModalSteps {
    std::function<void()> beforeShow;  // the owner is disabled, the dialog not yet on screen
    std::function<void()> shown;       // the dialog is in front, with the keyboard
    std::function<void()> closing;     // the loop has ended; the dialog is still there
};

// The one protocol of the program's modal dialogs: the owner disabled, the dialog brought to the
// front with the keyboard (the bar that opened it never has it), the thread's messages with the
// dialog keys (Tab, Enter, Esc) until `done` is set or the program ends every dialog, then the
// owner enabled again and the foreground handed back to the window the user was typing in
// before the dialog is destroyed, so that no other window is activated and raised in between.
// A WM_QUIT on the way ends the loop and is posted again for the main loop.
void runModal(HWND dialog, HWND owner, HWND userWindow, const bool& done, const ModalSteps& steps);

// The program is closing: every modal loop ends at its next message, whatever its dialog.
void endModalLoops();

}  // namespace replybar::win
