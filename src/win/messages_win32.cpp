#include "win/messages_win32.h"

namespace replybar::win {

namespace {
bool g_showing = false;  // boxes are shown on the bar's thread only
}  // namespace

bool MessageBoxes::anyShowing() { return g_showing; }

MessageAnswer MessageBoxes::show(const std::wstring& text, const std::wstring& title,
                                 MessageKind kind) {
    if (g_showing) return kind == MessageKind::Question ? MessageAnswer::No : MessageAnswer::Ok;
    UINT flags = MB_OK;
    switch (kind) {
        case MessageKind::Info: flags = MB_OK; break;
        case MessageKind::Error: flags = MB_OK | MB_ICONERROR; break;
        case MessageKind::Question: flags = MB_YESNO | MB_ICONQUESTION; break;
    }
    // The bar is topmost and never the foreground window: its boxes must come to the front
    // and take the keyboard, or the user would have to find them first. Closing, a box hands
    // the activation to its owner, and the bar must not have it: the foreground goes back to
    // the window that had it before.
    const HWND before = ::GetForegroundWindow();
    g_showing = true;
    const int r =
        ::MessageBoxW(owner_, text.c_str(), title.c_str(), flags | MB_TOPMOST | MB_SETFOREGROUND);
    g_showing = false;
    if (before && ::IsWindow(before) && ::GetForegroundWindow() != before)
        ::SetForegroundWindow(before);
    if (kind == MessageKind::Question) return r == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
    return MessageAnswer::Ok;
}

}  // namespace replybar::win
