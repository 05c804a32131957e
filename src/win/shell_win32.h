// The shell: opening files and addresses (verb "open", shown normally, owned by a window of the
// program), choosing a file to open, its Show Desktop command, and the clock.
#pragma once

#include <windows.h>

#include <optional>

#include "core/ports.h"

namespace replybar::win {

// With `messages`, a target the shell refuses is one Chinese message box naming it and the
// system's reason; without, a refusal passes in silence.
class ShellOpener : public IShell {
public:
    explicit ShellOpener(HWND owner = nullptr, IMessages* messages = nullptr)
        : owner_(owner), messages_(messages) {}
    void setOwner(HWND owner) { owner_ = owner; }
    void open(const std::wstring& target) override;

private:
    HWND owner_;
    IMessages* messages_;
};

// A path of MAX_PATH characters or more, which the shell cannot open as it is: its short (8.3)
// form when the volume has one that fits, else the "\\?\" form. Any other target unchanged.
std::wstring shellOpenableForm(const std::wstring& target);

// The system's text for the failure code that ShellExecuteW returned (32 or less).
std::wstring shellFailureReason(INT_PTR code);

// The system's file-open dialog over `owner`, for an existing file; `filter` as the dialog takes
// it. It opens in the folder of `initial` with its name filled in, when `initial` is a path. The
// chosen file's full path; none when the user cancelled or the dialog could not be shown.
std::optional<std::wstring> chooseFileToOpen(HWND owner, const wchar_t* title,
                                             const wchar_t* filter, const std::wstring& initial);

// The Shell application object's ToggleDesktop, created in-process with COM.
class ShellDesktop : public IDesktop {
public:
    bool toggleDesktop() override;
};

// The local date and time now, to the minute.
LocalTime localTimeNow();

class SystemClock : public IClock {
public:
    int weekday() override;
    std::uint64_t milliseconds() override;
    LocalTime localTime() override { return localTimeNow(); }
};

}  // namespace replybar::win
