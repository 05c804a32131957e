#include "team/team_proxy_win32.h"

namespace replybar::team {
namespace {

HINTERNET openSession(DWORD access, const std::wstring& proxy = {}) {
    return ::WinHttpOpen(L"ReplyBar", access, proxy.empty() ? WINHTTP_NO_PROXY_NAME : proxy.c_str(),
                         WINHTTP_NO_PROXY_BYPASS, 0);
}

// A string WinHTTP allocated for us, copied and freed.
std::wstring takeText(LPWSTR text) {
    if (!text) return {};
    std::wstring copy(text);
    ::GlobalFree(text);
    return copy;
}

InternetSettings readInternetSettings() {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!::WinHttpGetIEProxyConfigForCurrentUser(&config)) return {};
    InternetSettings settings;
    settings.autoDetect = config.fAutoDetect != FALSE;
    settings.autoConfigUrl = takeText(config.lpszAutoConfigUrl);
    settings.proxy = takeText(config.lpszProxy);
    settings.bypass = takeText(config.lpszProxyBypass);
    return settings;
}

// What auto-detection (`pacAddress` null) or a PAC file says for the address. True when it
// answered; `proxy` is then the proxy to take, "" for straight to the server.
bool askAutoProxy(HINTERNET lookup, const std::wstring& address, const WebTarget& target,
                  const wchar_t* pacAddress, std::wstring& proxy) {
    WINHTTP_AUTOPROXY_OPTIONS options{};
    if (pacAddress) {
        options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = pacAddress;
    } else {
        options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    }
    options.fAutoLogonIfChallenged = TRUE;  // a PAC file behind Windows sign-in
    WINHTTP_PROXY_INFO info{};
    if (!::WinHttpGetProxyForUrl(lookup, address.c_str(), &options, &info)) return false;
    const std::wstring list = takeText(info.lpszProxy);
    takeText(info.lpszProxyBypass);
    proxy = info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY
                ? proxyForScheme(list, target.scheme)
                : std::wstring();
    return true;
}

}  // namespace

WebSession openWebSession(const std::wstring& address, const WebTarget& target, int waitMs) {
    const InternetSettings settings = readInternetSettings();
    WebSession session;
    // Refused before Windows 8.1 (ERROR_INVALID_PARAMETER): the plan then walks the settings.
    if (settings.proxy.empty() && settings.autoConfigUrl.empty())
        session.handle.reset(openSession(WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY));
    const ProxyPlan plan = planProxy(settings, target, static_cast<bool>(session.handle));
    if (plan.automatic) return session;

    bool answered = false;
    if (plan.autoDetect || !plan.autoConfigUrl.empty()) {
        const UniqueInternet lookup(openSession(WINHTTP_ACCESS_TYPE_NO_PROXY));
        if (lookup) {
            ::WinHttpSetTimeouts(lookup.get(), waitMs, waitMs, waitMs, waitMs);
            answered = (plan.autoDetect &&
                        askAutoProxy(lookup.get(), address, target, nullptr, session.proxy)) ||
                       (!plan.autoConfigUrl.empty() &&
                        askAutoProxy(lookup.get(), address, target, plan.autoConfigUrl.c_str(),
                                     session.proxy));
        }
    }
    if (!answered) session.proxy = plan.fixed;
    const DWORD access = !session.proxy.empty() ? WINHTTP_ACCESS_TYPE_NAMED_PROXY
                         : plan.systemDefault   ? WINHTTP_ACCESS_TYPE_DEFAULT_PROXY
                                                : WINHTTP_ACCESS_TYPE_NO_PROXY;
    session.handle.reset(openSession(access, session.proxy));
    return session;
}

}  // namespace replybar::team
