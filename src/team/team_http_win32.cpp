// The web half of the team library's source. WinHTTP is delay-loaded: a bar without a team
// library, or with one on a share, never loads it.
#include "team/team_http_win32.h"

#include <winhttp.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

#include "team/team_texts.h"
#include "win/handles.h"

namespace replybar::team {
namespace {

void closeInternet(HINTERNET h) { ::WinHttpCloseHandle(h); }
using UniqueInternet = win::UniqueHandle<HINTERNET, closeInternet>;

HttpAnswer failed(DWORD error) {
    HttpAnswer answer;
    answer.error = error;
    return answer;
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

// The session, the connection and the request of one exchange, closed in reverse.
struct Request {
    UniqueInternet session, connection, request;
};

// Sends the GET and waits for the answer's headers; the error otherwise.
DWORD sendRequest(Request& r, const std::wstring& address, const Validators& last, int limitMs) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
    if (!::WinHttpCrackUrl(address.c_str(), 0, 0, &parts)) return ::GetLastError();
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    // The path and the query follow each other in the address.
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    // The system's automatic proxy where the system has it (Windows 8.1 on), else the
    // configured one.
    r.session.reset(::WinHttpOpen(L"ReplyBar", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!r.session)
        r.session.reset(::WinHttpOpen(L"ReplyBar", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!r.session) return ::GetLastError();
    ::WinHttpSetTimeouts(r.session.get(), limitMs, limitMs, limitMs, limitMs);
    r.connection.reset(::WinHttpConnect(r.session.get(), host.c_str(), parts.nPort, 0));
    if (!r.connection) return ::GetLastError();
    const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    r.request.reset(::WinHttpOpenRequest(r.connection.get(), L"GET", path.c_str(), nullptr,
                                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!r.request) return ::GetLastError();
    std::wstring headers;
    if (!last.etag.empty()) headers += L"If-None-Match: " + last.etag + L"\r\n";
    if (!last.lastModified.empty()) headers += L"If-Modified-Since: " + last.lastModified + L"\r\n";
    if (!::WinHttpSendRequest(r.request.get(),
                              headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                              headers.empty() ? 0 : DWORD(-1), WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(r.request.get(), nullptr))
        return ::GetLastError();
    return ERROR_SUCCESS;
}

// The body up to kSourceReadCap bytes, or why not all of it came.
//
// WinHTTP ends the reading when the connection closes, also when the server or a proxy on the
// way went away in the middle. With a Content-Length the bytes read tell: fewer is a cut answer
// (Wine 8's WinHTTP reports no error for it). A chunked answer has no length; the closing empty
// chunk is its end. Wine 8's WinHTTP does not tell a cut one from a whole one: the read ends
// without an error whether the connection closes between chunks or inside one, and
// WinHttpQueryDataAvailable then says 0 as after a whole answer, so under Wine such an answer is
// refused only when it does not parse. WinHTTP on Windows is reported to fail the read instead
// (ERROR_WINHTTP_CONNECTION_ERROR, told as "连接中断"); that could not be tried here.
DWORD readBody(HINTERNET request, std::string& body) {
    const std::optional<std::uint64_t> length = contentLength(request);
    try {
        body.resize(kSourceReadCap);
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    std::size_t filled = 0;
    while (filled < kSourceReadCap) {
        DWORD got = 0;
        if (!::WinHttpReadData(request, body.data() + filled,
                               static_cast<DWORD>(kSourceReadCap - filled), &got))
            return ::GetLastError();
        if (got == 0) break;
        filled += got;
    }
    body.resize(filled);
    if (length && filled < std::min<std::uint64_t>(*length, kSourceReadCap))
        return ERROR_WINHTTP_CONNECTION_ERROR;
    return ERROR_SUCCESS;
}

}  // namespace

HttpAnswer exchange(const std::wstring& address, const Validators& last, int limitMs) {
    Request r;
    if (const DWORD error = sendRequest(r, address, last, limitMs)) return failed(error);
    HttpAnswer answer;
    DWORD size = sizeof answer.status;
    if (!::WinHttpQueryHeaders(
            r.request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
            WINHTTP_HEADER_NAME_BY_INDEX, &answer.status, &size, WINHTTP_NO_HEADER_INDEX))
        return failed(::GetLastError());
    if (answer.status != HTTP_STATUS_OK) return answer;
    answer.validators = {headerText(r.request.get(), WINHTTP_QUERY_ETAG),
                         headerText(r.request.get(), WINHTTP_QUERY_LAST_MODIFIED)};
    if (const DWORD error = readBody(r.request.get(), answer.body)) return failed(error);
    return answer;
}

std::wstring httpErrorReason(DWORD error) {
    switch (error) {
        case ERROR_WINHTTP_TIMEOUT: return texts::kSourceNoAnswer;
        case ERROR_WINHTTP_INVALID_URL:
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return texts::kSourceBadAddress;
        case ERROR_WINHTTP_NAME_NOT_RESOLVED: return texts::kSourceNoServer;
        case ERROR_WINHTTP_CANNOT_CONNECT: return texts::kSourceCannotConnect;
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return texts::kSourceConnectionLost;
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE: return texts::kSourceInsecure;
    }
    return texts::sourceErrorCode(error);
}

}  // namespace replybar::team
