// Message boxes owned by a window of the program.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace replybar::win {

class MessageBoxes : public IMessages {
public:
    explicit MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }
    MessageAnswer show(const std::wstring& text, const std::wstring& title,
                       MessageKind kind) override;

private:
    HWND owner_;
};

}  // namespace replybar::win
