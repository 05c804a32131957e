#include "team/proxy_choice.h"

namespace replybar::team {
namespace {

wchar_t lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; }

bool sameText(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// '*' stands for any run of characters; the rest compares without regard to ASCII case.
bool globMatches(std::wstring_view pattern, std::wstring_view text) {
    std::size_t p = 0, t = 0, star = std::wstring_view::npos, starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            starText = t;
        } else if (p < pattern.size() && lower(pattern[p]) == lower(text[t])) {
            ++p;
            ++t;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

// Calls `take` with each non-empty piece of `list` between the separators; stops when it
// returns true, and says whether one did.
template <typename Take>
bool anyPiece(std::wstring_view list, std::wstring_view separators, Take take) {
    while (!list.empty()) {
        const std::size_t end = list.find_first_of(separators);
        const std::wstring_view piece = list.substr(0, end);
        if (!piece.empty() && take(piece)) return true;
        if (end == std::wstring_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return false;
}

// "http://a:80/" → "a:80": a proxy is a host and a port.
std::wstring_view withoutSchemeAndSlash(std::wstring_view proxy) {
    if (const std::size_t at = proxy.find(L"://"); at != std::wstring_view::npos)
        proxy.remove_prefix(at + 3);
    while (!proxy.empty() && proxy.back() == L'/') proxy.remove_suffix(1);
    return proxy;
}

bool isLoopback(std::wstring_view host) {
    return sameText(host, L"localhost") || globMatches(L"127.*", host) || host == L"::1" ||
           host == L"[::1]";
}

// One entry of a bypass list against the target.
bool entryMatches(std::wstring_view entry, const WebTarget& target) {
    if (sameText(entry, L"<local>")) return target.host.find_first_of(L".:") == std::wstring::npos;
    if (const std::size_t at = entry.find(L"://"); at != std::wstring_view::npos) {
        if (!sameText(entry.substr(0, at), target.scheme)) return false;
        entry.remove_prefix(at + 3);
    }
    // A port after the last colon, unless the colons are those of a bare IPv6 address.
    const std::size_t colon = entry.rfind(L':');
    if (colon != std::wstring_view::npos && colon + 1 < entry.size() &&
        (entry.find(L':') == colon || entry[colon - 1] == L']') &&
        entry.find_first_not_of(L"0123456789", colon + 1) == std::wstring_view::npos) {
        unsigned port = 0;
        for (wchar_t c : entry.substr(colon + 1)) port = port * 10 + unsigned(c - L'0');
        if (port != target.port) return false;
        entry = entry.substr(0, colon);
    }
    // ".corp.example" is how many write "every host of corp.example".
    if (!entry.empty() && entry.front() == L'.')
        return globMatches(std::wstring(L"*").append(entry), target.host);
    return globMatches(entry, target.host);
}

}  // namespace

std::wstring proxyForScheme(std::wstring_view list, std::wstring_view scheme) {
    std::wstring_view forAll, own;
    anyPiece(list, L"; \t\r\n", [&](std::wstring_view entry) {
        const std::size_t eq = entry.find(L'=');
        if (eq == std::wstring_view::npos) {
            if (forAll.empty()) forAll = entry;
        } else if (own.empty() && sameText(entry.substr(0, eq), scheme)) {
            own = entry.substr(eq + 1);
        }
        return false;
    });
    return std::wstring(withoutSchemeAndSlash(own.empty() ? forAll : own));
}

bool bypassesProxy(std::wstring_view list, const WebTarget& target) {
    if (isLoopback(target.host)) return true;
    return anyPiece(list, L"; ,\t\r\n",
                    [&](std::wstring_view entry) { return entryMatches(entry, target); });
}

ProxyPlan planProxy(const InternetSettings& settings, const WebTarget& target,
                    bool automaticAvailable) {
    ProxyPlan plan;
    if (automaticAvailable && settings.proxy.empty() && settings.autoConfigUrl.empty()) {
        plan.automatic = true;
        return plan;
    }
    plan.autoDetect = settings.autoDetect;
    plan.autoConfigUrl = settings.autoConfigUrl;
    if (!bypassesProxy(settings.bypass, target))
        plan.fixed = proxyForScheme(settings.proxy, target.scheme);
    plan.systemDefault =
        !settings.autoDetect && settings.autoConfigUrl.empty() && settings.proxy.empty();
    return plan;
}

}  // namespace replybar::team
