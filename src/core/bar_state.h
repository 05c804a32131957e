// What the system told the bar at start-up and several parts read: its folders and the Windows
// version. Everything starts empty or zero. The settings in use have an owner of their own
// (settings/settings_in_use.h).
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
};

}  // namespace replybar
