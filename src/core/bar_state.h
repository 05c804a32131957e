// The bar's shared state: what several parts of the program read and write. Everything starts
// empty, zero or absent and gets its value at start-up or from the action that sets it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"

namespace replybar {

// The Windows version the system reports; 0.0 until start-up has read it.
struct OsVersion {
    int major = 0, minor = 0;
};
// Newer than 6.0 (Vista): Windows 7 and later.
constexpr bool isWindows7OrLater(const OsVersion& v) {
    return v.major > 6 || (v.major == 6 && v.minor > 0);
}


// The file names of the launch folder's entries, entry n (counted from 1) at n - 1, closed by one
// empty name after the last file (also when the build stopped at its cap of 150, as entry 151).
using LaunchMap = std::vector<std::wstring>;

struct BarState {
    std::wstring dataDir;         // per-user application data folder, ends with "\"; "" for none
    std::wstring quickLaunchDir;  // Quick Launch folder, ends with "\"
    OsVersion osVersion;
    std::wstring homePage = kDefaultHomePage;  // address the home page button opens
    int replyCount = 0;                        // number of replies, 0 to kReplyRows
    // The icon code file's text as it was read or written: one code per reply, digit or space.
    std::wstring replyIconCodes;
    LaunchMap launchMap;         // written by the launcher build, read by the menu's commands
    std::wstring launchFolder;   // the launcher menu's folder, ends with "\"
    bool autoSend = false;       // also send Ctrl+Enter after a pasted reply
};

}  // namespace replybar
