// Message boxes owned by a window of the program.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace replybar::win {

// At most one box of the program is up at a time: a box's own message loop runs the bar's
// timers and hotkeys, and a second box asked for meanwhile is not shown (answered No, or OK).
class MessageBoxes : public IMessages {
public:
    explicit MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }
    MessageAnswer show(const std::wstring& text, const std::wstring& title,
                       MessageKind kind) override;
    // A box of the program is up now.
    static bool anyShowing();

private:
    HWND owner_;
};

}  // namespace replybar::win
