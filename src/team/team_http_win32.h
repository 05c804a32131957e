// One reading of the team library from a web address: a GET through WinHTTP, conditional on the
// last good answer, that gives the body only when all of it arrived.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "team/team_csv.h"

namespace replybar::team {

// A file or an answer is read up to one byte past the limit, so that the reader refuses it as
// too large without the whole of it in memory.
inline constexpr std::size_t kSourceReadCap = kTeamMaxBytes + 1;

// What makes the next request conditional: the ETag and Last-Modified of the last good answer.
struct Validators {
    std::wstring etag, lastModified;
};

struct HttpAnswer {
    DWORD error = ERROR_SUCCESS;  // then nothing else holds
    DWORD status = 0;
    std::string body;  // of a 200 answer, up to kSourceReadCap bytes
    Validators validators;
};

// One exchange with the server, each phase under `limitMs`. An answer that ends before its
// Content-Length fails with ERROR_WINHTTP_CONNECTION_ERROR.
HttpAnswer exchange(const std::wstring& address, const Validators& last, int limitMs);

// What the status line says for an error of the exchange.
std::wstring httpErrorReason(DWORD error);

}  // namespace replybar::team
