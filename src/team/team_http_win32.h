// One reading of the team library from a web address: a GET through WinHTTP, conditional on the
// last good answer and past any cache on the way, through the user's proxy, with one round of
// Windows sign-in, under a total deadline and a no-progress limit (team/read_deadline). It gives
// the body only when all of it arrived.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <string>

#include "team/read_deadline.h"
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
    std::wstring
        refused;       // why the file did not come, for the status line; then nothing else holds
    DWORD status = 0;  // 200 or 304
    std::string body;  // of a 200 answer, up to kSourceReadCap bytes
    Validators validators;
};

// One exchange with the server. `answering` is set once the answer's headers are in: a read
// that takes long from then on is slow, not silent. An answer that ends before its
// Content-Length is refused as a lost connection.
HttpAnswer exchange(const std::wstring& address, const Validators& last,
                    const ReadDeadline::Limits& limits, std::atomic<bool>& answering);

}  // namespace replybar::team
