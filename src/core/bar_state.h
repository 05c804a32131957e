// The bar's shared state: what several parts of the program read and write. Everything starts
// empty, zero or absent and gets its value at start-up or from the action that sets it.
#pragma once

#include <string>

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

struct BarState {
    std::wstring dataDir;         // per-user application data folder, ends with "\"; "" for none
    std::wstring quickLaunchDir;  // Quick Launch folder, ends with "\"
    OsVersion osVersion;
    std::wstring homePage = kDefaultHomePage;  // address the home page button opens
    std::wstring launchFolder;   // the launcher menu's folder, ends with "\"
};

}  // namespace replybar
