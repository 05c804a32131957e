// The program's entry among the ones Windows starts at the user's logon: the value "ReplyBar"
// under HKCU "Software\Microsoft\Windows\CurrentVersion\Run", and Task Manager's switch for it.
#pragma once

#include <string>

#include "core/ports.h"

namespace replybar::win {

class RunAtLogon : public IRunAtLogon {
public:
    // A REG_EXPAND_SZ entry (written by hand or by an installer) is read with its variables
    // expanded, as Windows runs it.
    std::optional<std::wstring> read() override;
    bool write(const std::wstring& command, std::wstring& reason) override;
    bool remove(std::wstring& reason) override;
    // Read only: the bar never switches the entry in Task Manager.
    std::optional<std::string> startupApproval() override;
};

// The running exe's full path.
std::wstring exePath();

}  // namespace replybar::win
