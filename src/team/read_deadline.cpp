#include "team/read_deadline.h"

#include <algorithm>

namespace replybar::team {

ReadDeadline::Verdict ReadDeadline::verdict(std::int64_t nowMs) const {
    if (nowMs - start_ >= limits_.totalMs) return Verdict::TooLong;
    if (nowMs - last_ >= limits_.stallMs) return Verdict::Stalled;
    return Verdict::Going;
}

int ReadDeadline::waitMs(std::int64_t nowMs) const {
    const std::int64_t left =
        std::min(limits_.totalMs - (nowMs - start_), limits_.stallMs - (nowMs - last_));
    return static_cast<int>(std::clamp<std::int64_t>(left, 1, limits_.stallMs));
}

std::optional<std::uint64_t> ReadTurns::start() {
    if (underWay_ >= kMaxUnderWay) return std::nullopt;
    ++underWay_;
    return ++started_;
}

bool ReadTurns::ended(std::uint64_t read) {
    if (underWay_ > 0) --underWay_;
    if (read <= told_) return false;
    told_ = read;
    return true;
}

}  // namespace replybar::team
