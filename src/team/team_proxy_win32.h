// The WinHTTP session of one read of the team library's web address, opened for the proxy that
// the user's Internet settings give that address (team/proxy_choice).
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <string>

#include "team/proxy_choice.h"
#include "win/handles.h"

namespace replybar::team {

inline void closeInternet(HINTERNET h) { ::WinHttpCloseHandle(h); }
using UniqueInternet = win::UniqueHandle<HINTERNET, closeInternet>;

struct WebSession {
    UniqueInternet handle;  // none: GetLastError says why
    std::wstring proxy;     // "host:port" it goes through; "" straight, or the system's choice
};

// Looking up a PAC file or auto-detection waits at most `waitMs` for each step.
WebSession openWebSession(const std::wstring& address, const WebTarget& target, int waitMs);

}  // namespace replybar::team
