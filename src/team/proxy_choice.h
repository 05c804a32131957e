// Which proxy a web address of the team library is read through: the one the user's browser
// takes, from the user's Internet settings (Internet Options, Connections, LAN settings).
//
// Where the system finds the proxy itself (WinHTTP's automatic proxy, Windows 8.1 and later) it
// does so unless the settings name a proxy or a PAC address; those are followed here on every
// system. It comes to the same route on Windows, and it is the route wherever the automatic
// proxy does not read the settings (Wine's accepts the request and goes direct). Otherwise the
// browser's order: the proxy that auto-detection finds (WPAD), then the one the PAC address
// gives for this address, then the fixed proxy for the address's scheme unless the bypass list
// names the host; with nothing set, the machine's WinHTTP proxy.
#pragma once

#include <string>
#include <string_view>

namespace replybar::team {

// The user's Internet settings, as WinHttpGetIEProxyConfigForCurrentUser gives them.
struct InternetSettings {
    bool autoDetect = false;
    std::wstring autoConfigUrl;  // a PAC address
    std::wstring proxy;          // "host:port", or per scheme "http=a:80;https=b:443"
    std::wstring bypass;         // "<local>;*.corp.example;10.*;intranet:8080"
};

// Where an address goes: its scheme in lower case ("http", "https"), host and port.
struct WebTarget {
    std::wstring scheme, host;
    unsigned port = 0;
};

// The ways to try, in this order; the first that gives an answer is taken.
struct ProxyPlan {
    bool automatic = false;      // the system's automatic proxy, and nothing else
    bool autoDetect = false;     // ask auto-detection (WPAD) for this address
    std::wstring autoConfigUrl;  // then ask this PAC address
    std::wstring fixed;          // then this proxy, "host:port" ("": straight to the server)
    bool systemDefault = false;  // nothing set: the machine's WinHTTP proxy (netsh winhttp)
};

ProxyPlan planProxy(const InternetSettings& settings, const WebTarget& target,
                    bool automaticAvailable);

// The proxy a list gives a scheme: its own entry ("https=b:443"), else the entry for all; the
// first of several ("a:80;b:80", as a PAC answers). "" for none.
std::wstring proxyForScheme(std::wstring_view list, std::wstring_view scheme);

// Whether the bypass list sends the target straight to the server: "<local>" for a name without
// a dot, "*" for any run of characters, an entry with a port or a scheme only for that one. The
// machine itself (localhost, 127.*, ::1) is never reached through a proxy.
bool bypassesProxy(std::wstring_view list, const WebTarget& target);

}  // namespace replybar::team
