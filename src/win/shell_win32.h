// Opening files and addresses with the shell: verb "open", shown normally, owned by the bar.
#pragma once

#include <windows.h>

#include "bar/ports.h"

namespace replybar::win {

class ShellOpener : public IShell {
public:
    explicit ShellOpener(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }
    void open(const std::wstring& target) override;

private:
    HWND owner_;
};

}  // namespace replybar::win
