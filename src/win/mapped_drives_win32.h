// Mapped network drives: a path on one as the share's own path, and back. A bar that runs
// elevated, or starts before the drive reconnects at logon, does not see the user's mapped
// drives, so what is stored is the share's path.
#pragma once

#include <optional>
#include <string>

namespace replybar::win {

// "Z:\团队\回复.csv" on a drive mapped to \\server\share as "\\server\share\团队\回复.csv";
// nothing for a local drive, a share's path or a drive not mapped now.
std::optional<std::wstring> shareFormOf(const std::wstring& path);
// "\\server\share\团队\回复.csv" as "Z:\团队\回复.csv" where Z: is mapped to \\server\share;
// nothing where no drive of this user's is.
std::optional<std::wstring> driveFormOf(const std::wstring& sharePath);

}  // namespace replybar::win
