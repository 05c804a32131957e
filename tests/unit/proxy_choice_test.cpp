#include "team/proxy_choice.h"

#include <gtest/gtest.h>

namespace replybar::team {
namespace {

TEST(ProxyChoice, TheProxyOfAListForAScheme) {
    const struct {
        const wchar_t* list;
        const wchar_t* scheme;
        const wchar_t* proxy;
    } cases[] = {
        {L"proxy.corp:8080", L"https", L"proxy.corp:8080"},
        {L"http=a:80;https=b:443", L"https", L"b:443"},
        {L"http=a:80", L"https", L""},  // no proxy for https: straight to the server
        {L"ftp=f:21;all:3128", L"https", L"all:3128"},
        {L"HTTPS=http://b:443/", L"https", L"b:443"},
        {L"a:8080; b:8080", L"http", L"a:8080"},  // as a PAC file answers: the first
    };
    for (const auto& c : cases)
        EXPECT_EQ(proxyForScheme(c.list, c.scheme), c.proxy) << c.list << L" " << c.scheme;
}

TEST(ProxyChoice, TheBypassListAsTheBrowserReadsIt) {
    const struct {
        const wchar_t* list;
        WebTarget target;
        bool bypassed;
    } cases[] = {
        {L"<local>", {L"http", L"intranet", 80}, true},
        {L"<local>", {L"http", L"intranet.corp", 80}, false},
        {L"*.corp.example", {L"http", L"wiki.corp.example", 80}, true},
        {L"*.corp.example", {L"http", L"wikicorp.example", 80}, false},
        {L".corp.example", {L"https", L"a.corp.example", 443}, true},
        {L"10.*", {L"http", L"110.1.2.3", 80}, false},
        {L"files:8080", {L"http", L"files", 8080}, true},
        {L"files:8080", {L"http", L"files", 80}, false},
        {L"https://secure.corp", {L"http", L"secure.corp", 80}, false},
        {L"FILES.Corp", {L"http", L"files.corp", 80}, true},
        {L"a.com; b.com ,c.com", {L"http", L"c.com", 80}, true},
        {L"fe80::1", {L"http", L"fe80::1", 80}, true},
        {L"", {L"http", L"localhost", 80}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bypassesProxy(c.list, c.target), c.bypassed)
            << c.list << L" " << c.target.scheme << L"://" << c.target.host << L":"
            << c.target.port;
}

std::wstring described(const ProxyPlan& plan) {
    if (plan.automatic) return L"automatic";
    std::wstring text;
    if (plan.autoDetect) text += L"detect ";
    if (!plan.autoConfigUrl.empty()) text += L"pac " + plan.autoConfigUrl + L" ";
    if (!plan.fixed.empty()) text += L"fixed " + plan.fixed + L" ";
    if (plan.systemDefault) text += L"default ";
    return text.empty() ? L"direct" : text.substr(0, text.size() - 1);
}

InternetSettings set(bool detect, const wchar_t* pac = L"", const wchar_t* proxy = L"",
                     const wchar_t* bypass = L"") {
    return {detect, pac, proxy, bypass};
}

TEST(ProxyChoice, ThePlanFollowsTheSettingsAsTheBrowserDoes) {
    const struct {
        const char* what;
        InternetSettings settings;
        bool automaticAvailable;
        const wchar_t* plan;
    } cases[] = {
        {"nothing set, 8.1 on", set(false), true, L"automatic"},
        {"auto-detect alone, 8.1 on: the system detects", set(true), true, L"automatic"},
        {"nothing set, Windows 7: the machine's proxy", set(false), false, L"default"},
        {"auto-detect alone, Windows 7", set(true), false, L"detect"},
        {"a fixed proxy is followed on every system", set(false, L"", L"p:80"), true,
         L"fixed p:80"},
        {"all three, in the browser's order", set(true, L"http://wpad/p.pac", L"p:80"), false,
         L"detect pac http://wpad/p.pac fixed p:80"},
        {"the bypass list names the host", set(false, L"", L"p:80", L"*.corp.example"), false,
         L"direct"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(described(planProxy(c.settings, {L"https", L"files.corp.example", 443},
                                      c.automaticAvailable)),
                  c.plan)
            << c.what;
}

}  // namespace
}  // namespace replybar::team
