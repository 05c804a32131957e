// What the status line says when a read of the team library's web address does not bring the
// file, and the one round of Windows sign-in a server or a proxy gets. The WinHTTP half
// (team_http_win32) sorts its errors into WebFault and asks here.
#pragma once

#include <string>
#include <string_view>

namespace replybar::team {

enum class WebFault {
    NoAnswer,
    TooSlow,
    BadAddress,
    NoServer,
    CannotConnect,
    ConnectionLost,
    Insecure
};

// What the read knew of its way: the proxy it went through ("": straight to the server, or the
// system's automatic proxy, which does not say), and whether the system refused to offer
// TLS 1.1 and 1.2 (Windows 7 without the update that brings them to WinHTTP).
struct WebWay {
    std::wstring proxy;
    bool newTlsRefused = false;
};

std::wstring webFaultReason(WebFault fault, const WebWay& way);

// Why an answer other than 200 or 304 is not used; `location` is its Location header. WinHTTP
// follows redirects itself, except from https to http: that one is refused with a word.
std::wstring answerRefusal(unsigned long status, bool secure, std::wstring_view location);

// A 401 (the server) or 407 (a proxy) offering Negotiate or NTLM gets one round with the
// user's own Windows sign-in, each of the two once. Anything else that asks for credentials
// (Basic only, a second ask) ends the read with a word in the status line, never a prompt.
class SignInRounds {
public:
    enum class Answer { Negotiate, Ntlm, GiveUp };
    Answer asked(bool byProxy, bool negotiateOffered, bool ntlmOffered);
    static std::wstring refusal(bool byProxy);

private:
    bool serverTried_ = false, proxyTried_ = false;
};

}  // namespace replybar::team
