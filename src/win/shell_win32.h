// The shell: opening files and addresses (verb "open", shown normally, owned by a window of the
// program), its Show Desktop command, and the clock.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace replybar::win {

class ShellOpener : public IShell {
public:
    explicit ShellOpener(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }
    void open(const std::wstring& target) override;

private:
    HWND owner_;
};

// The Shell application object's ToggleDesktop, created in-process with COM.
class ShellDesktop : public IDesktop {
public:
    bool toggleDesktop() override;
};

class SystemClock : public IClock {
public:
    int weekday() override;
    std::uint64_t milliseconds() override;
};

}  // namespace replybar::win
