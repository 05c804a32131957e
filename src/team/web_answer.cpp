#include "team/web_answer.h"

#include "team/team_texts.h"

namespace replybar::team {

std::wstring webFaultReason(WebFault fault, const WebWay& way) {
    switch (fault) {
        case WebFault::NoAnswer: return texts::kSourceNoAnswer;
        case WebFault::TooSlow: return texts::kSourceTooSlow;
        case WebFault::BadAddress: return texts::kSourceBadAddress;
        case WebFault::NoServer:
        case WebFault::CannotConnect:
            // Through a proxy, the name looked up and the connection made are the proxy's.
            if (!way.proxy.empty()) return texts::sourceProxyUnreachable(way.proxy);
            return fault == WebFault::NoServer ? texts::kSourceNoServer
                                               : texts::kSourceCannotConnect;
        case WebFault::ConnectionLost: return texts::kSourceConnectionLost;
        case WebFault::Insecure:
            return way.newTlsRefused ? texts::kSourceTlsUpdateMissing : texts::kSourceInsecure;
    }
    return texts::kSourceNoAnswer;
}

std::wstring answerRefusal(unsigned long status, bool secure, std::wstring_view location) {
    const bool redirect =
        status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
    if (redirect && secure && location.size() >= 5) {
        std::wstring scheme(location.substr(0, 5));
        for (wchar_t& c : scheme)
            if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
        if (scheme == L"http:") return texts::kSourceInsecureRedirect;
    }
    return texts::sourceServerStatus(status);
}

SignInRounds::Answer SignInRounds::asked(bool byProxy, bool negotiateOffered, bool ntlmOffered) {
    bool& tried = byProxy ? proxyTried_ : serverTried_;
    if (tried || (!negotiateOffered && !ntlmOffered)) return Answer::GiveUp;
    tried = true;
    return negotiateOffered ? Answer::Negotiate : Answer::Ntlm;
}

std::wstring SignInRounds::refusal(bool byProxy) {
    return byProxy ? texts::kSourceProxySignInNeeded : texts::kSourceSignInNeeded;
}

}  // namespace replybar::team
