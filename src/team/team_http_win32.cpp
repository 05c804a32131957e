// The web half of the team library's source. WinHTTP is delay-loaded: a bar without a team
// library, or with one on a share, never loads it.
#include "team/team_http_win32.h"

#include <winhttp.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

#include "team/team_proxy_win32.h"
#include "team/team_texts.h"
#include "team/web_answer.h"

namespace replybar::team {
namespace {

// Wine's WinHTTP reports a receive that timed out with the socket's error (WSAETIMEDOUT).
constexpr DWORD kSocketTimedOut = 10060;

std::int64_t nowMs() { return static_cast<std::int64_t>(::GetTickCount64()); }

HttpAnswer refusedWith(std::wstring reason) {
    HttpAnswer answer;
    answer.refused = std::move(reason);
    return answer;
}

std::optional<WebFault> faultOf(DWORD error) {
    switch (error) {
        case ERROR_WINHTTP_TIMEOUT:
        case kSocketTimedOut: return WebFault::NoAnswer;
        case ERROR_WINHTTP_INVALID_URL:
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return WebFault::BadAddress;
        case ERROR_WINHTTP_NAME_NOT_RESOLVED: return WebFault::NoServer;
        case ERROR_WINHTTP_CANNOT_CONNECT: return WebFault::CannotConnect;
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return WebFault::ConnectionLost;
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE: return WebFault::Insecure;
    }
    return std::nullopt;
}

std::wstring errorReason(DWORD error, const WebWay& way) {
    if (const std::optional<WebFault> fault = faultOf(error)) return webFaultReason(*fault, way);
    return texts::sourceErrorCode(error);
}

std::wstring headerText(HINTERNET request, DWORD query) {
    DWORD size = 0;
    ::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                          &size, WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                               WINHTTP_NO_HEADER_INDEX))
        return {};
    text.resize(size / sizeof(wchar_t));
    return text;
}

// The length the server gave in Content-Length; none for a chunked answer.
std::optional<std::uint64_t> contentLength(HINTERNET request) {
    const std::wstring text = headerText(request, WINHTTP_QUERY_CONTENT_LENGTH);
    if (text.empty() || text.size() > 19) return std::nullopt;
    std::uint64_t length = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        length = length * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return length;
}

// TLS 1.1 and 1.2 asked for by name: Windows 7's WinHTTP offers only TLS 1.0 otherwise. 1.3 is
// kept where the system has it (asking without it would take it away). False when the system
// refuses them all: Windows 7 without the update that brings them to WinHTTP.
bool askForCurrentTls(HINTERNET session) {
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_1 |
                      WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (::WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols))
        return true;
    protocols &= ~DWORD{WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3};
    return ::WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                              sizeof protocols) != FALSE;
}

// The session, the connection and the request of one exchange, closed in reverse, and what is
// known of its way.
struct Exchange {
    UniqueInternet session, connection, request;
    WebWay way;
    bool secure = false;
};

// Opens the request through the user's proxy; the error otherwise.
DWORD openRequest(Exchange& x, const std::wstring& address, int waitMs) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
    if (!::WinHttpCrackUrl(address.c_str(), 0, 0, &parts)) return ::GetLastError();
    x.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    const WebTarget target{x.secure ? L"https" : L"http",
                           std::wstring(parts.lpszHostName, parts.dwHostNameLength), parts.nPort};
    // The path and the query follow each other in the address.
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    WebSession session = openWebSession(address, target, waitMs);
    x.way.proxy = std::move(session.proxy);
    x.session = std::move(session.handle);
    if (!x.session) return ::GetLastError();
    ::WinHttpSetTimeouts(x.session.get(), waitMs, waitMs, waitMs, waitMs);
    if (x.secure) x.way.newTlsRefused = !askForCurrentTls(x.session.get());
    DWORD redirects = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    ::WinHttpSetOption(x.session.get(), WINHTTP_OPTION_REDIRECT_POLICY, &redirects,
                       sizeof redirects);
    x.connection.reset(::WinHttpConnect(x.session.get(), target.host.c_str(), parts.nPort, 0));
    if (!x.connection) return ::GetLastError();
    x.request.reset(::WinHttpOpenRequest(x.connection.get(), L"GET", path.c_str(), nullptr,
                                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                         x.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!x.request) return ::GetLastError();
    // The user's own Windows sign-in may go to any server that asks for it with Negotiate or
    // NTLM: the intranet servers a team library sits on are often not in the intranet zone.
    DWORD logon = WINHTTP_AUTOLOGON_SECURITY_LEVEL_LOW;
    ::WinHttpSetOption(x.request.get(), WINHTTP_OPTION_AUTOLOGON_POLICY, &logon, sizeof logon);
    return ERROR_SUCCESS;
}

// The validators of the last good answer, and a word to every cache on the way (a proxy's, a
// branch office's) to ask the server rather than answer from what it kept.
std::wstring requestHeaders(const Validators& last) {
    std::wstring headers = L"Cache-Control: no-cache\r\nPragma: no-cache\r\n";
    if (!last.etag.empty()) headers += L"If-None-Match: " + last.etag + L"\r\n";
    if (!last.lastModified.empty()) headers += L"If-Modified-Since: " + last.lastModified + L"\r\n";
    return headers;
}

// Sends the request and takes the answer's status, after one round of Windows sign-in each for
// the server and a proxy where they ask for it.
HttpAnswer signedInAnswer(const Exchange& x, const std::wstring& headers) {
    const HINTERNET request = x.request.get();
    SignInRounds rounds;
    for (;;) {
        HttpAnswer answer;
        DWORD size = sizeof answer.status;
        if (!::WinHttpSendRequest(request, headers.c_str(), DWORD(-1), WINHTTP_NO_REQUEST_DATA, 0,
                                  0, 0) ||
            !::WinHttpReceiveResponse(request, nullptr) ||
            !::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                   WINHTTP_HEADER_NAME_BY_INDEX, &answer.status, &size,
                                   WINHTTP_NO_HEADER_INDEX))
            return refusedWith(errorReason(::GetLastError(), x.way));
        const bool byProxy = answer.status == HTTP_STATUS_PROXY_AUTH_REQ;
        if (answer.status != HTTP_STATUS_DENIED && !byProxy) return answer;
        DWORD offered = 0, first = 0, target = 0;
        if (!::WinHttpQueryAuthSchemes(request, &offered, &first, &target)) offered = 0;
        const SignInRounds::Answer round =
            rounds.asked(byProxy, (offered & WINHTTP_AUTH_SCHEME_NEGOTIATE) != 0,
                         (offered & WINHTTP_AUTH_SCHEME_NTLM) != 0);
        if (round == SignInRounds::Answer::GiveUp)
            return refusedWith(SignInRounds::refusal(byProxy));
        // No name and no password: the user's own sign-in, as the autologon policy allows.
        if (!::WinHttpSetCredentials(request, target,
                                     round == SignInRounds::Answer::Negotiate
                                         ? WINHTTP_AUTH_SCHEME_NEGOTIATE
                                         : WINHTTP_AUTH_SCHEME_NTLM,
                                     nullptr, nullptr, nullptr))
            return refusedWith(SignInRounds::refusal(byProxy));
    }
}

// Why the deadline ended a read, or a wait for bytes that WinHTTP gave up.
std::wstring overdueReason(const ReadDeadline& deadline, const WebWay& way) {
    return webFaultReason(deadline.verdict(nowMs()) == ReadDeadline::Verdict::TooLong
                              ? WebFault::TooSlow
                              : WebFault::NoAnswer,
                          way);
}

// The body up to kSourceReadCap bytes, or why not all of it came ("" when it did).
//
// Each piece is taken as it arrives (WinHttpReadData alone waits until its buffer is full, so a
// server that drips would hold it to the end), and the deadline is asked after every one. Each
// wait for a piece is told to last only until the nearer limit (Wine's WinHTTP keeps the
// session's receive timeout, the no-progress limit, whatever the request is told).
//
// WinHTTP ends the reading when the connection closes, also when the server or a proxy on the
// way went away in the middle. With a Content-Length the bytes read tell: fewer is a cut answer
// (Wine 8's WinHTTP reports no error for it). A chunked answer has no length; the closing empty
// chunk is its end. Wine 8's WinHTTP does not tell a cut one from a whole one: the read ends
// without an error whether the connection closes between chunks or inside one, and
// WinHttpQueryDataAvailable then says 0 as after a whole answer, so under Wine such an answer is
// refused only when it does not parse. WinHTTP on Windows is reported to fail the read instead
// (ERROR_WINHTTP_CONNECTION_ERROR, told as "连接中断"); that could not be tried here.
std::wstring readBody(const Exchange& x, std::string& body, ReadDeadline& deadline) {
    const HINTERNET request = x.request.get();
    const std::optional<std::uint64_t> length = contentLength(request);
    try {
        body.resize(kSourceReadCap);
    } catch (const std::bad_alloc&) {
        return texts::sourceErrorCode(ERROR_NOT_ENOUGH_MEMORY);
    }
    std::size_t filled = 0;
    while (filled < kSourceReadCap) {
        if (deadline.verdict(nowMs()) != ReadDeadline::Verdict::Going)
            return overdueReason(deadline, x.way);
        DWORD wait = static_cast<DWORD>(deadline.waitMs(nowMs())), available = 0, got = 0;
        ::WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
        if (!::WinHttpQueryDataAvailable(request, &available)) {
            const DWORD error = ::GetLastError();
            return faultOf(error) == WebFault::NoAnswer ? overdueReason(deadline, x.way)
                                                        : errorReason(error, x.way);
        }
        if (available == 0) break;
        if (!::WinHttpReadData(
                request, body.data() + filled,
                static_cast<DWORD>(std::min<std::size_t>(available, kSourceReadCap - filled)),
                &got))
            return errorReason(::GetLastError(), x.way);
        if (got == 0) break;
        filled += got;
        deadline.progressed(nowMs());
    }
    body.resize(filled);
    if (length && filled < std::min<std::uint64_t>(*length, kSourceReadCap))
        return webFaultReason(WebFault::ConnectionLost, x.way);
    return {};
}

}  // namespace

HttpAnswer exchange(const std::wstring& address, const Validators& last,
                    const ReadDeadline::Limits& limits, std::atomic<bool>& answering) {
    ReadDeadline deadline(limits, nowMs());
    Exchange x;
    if (const DWORD error = openRequest(x, address, deadline.waitMs(nowMs())))
        return refusedWith(errorReason(error, x.way));
    HttpAnswer answer = signedInAnswer(x, requestHeaders(last));
    if (!answer.refused.empty() || answer.status == HTTP_STATUS_NOT_MODIFIED) return answer;
    answering = true;
    deadline.progressed(nowMs());
    if (answer.status != HTTP_STATUS_OK)
        return refusedWith(answerRefusal(answer.status, x.secure,
                                         headerText(x.request.get(), WINHTTP_QUERY_LOCATION)));
    answer.validators = {headerText(x.request.get(), WINHTTP_QUERY_ETAG),
                         headerText(x.request.get(), WINHTTP_QUERY_LAST_MODIFIED)};
    if (std::wstring reason = readBody(x, answer.body, deadline); !reason.empty())
        return refusedWith(std::move(reason));
    return answer;
}

}  // namespace replybar::team
