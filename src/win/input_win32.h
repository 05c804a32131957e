// The clipboard and the keystroke sender: what a reply pick uses to reach the focused window.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace replybar::win {

class Clipboard : public IClipboard {
public:
    explicit Clipboard(HWND owner) : owner_(owner) {}
    bool setText(const std::wstring& text) override;

private:
    HWND owner_;
};

// Sends "^v", "^{Enter}" and "{esc}" with SendInput, around whatever modifiers the user holds.
class KeySender : public IKeys {
public:
    bool send(const std::wstring& notation, bool wait) override;
};

}  // namespace replybar::win
