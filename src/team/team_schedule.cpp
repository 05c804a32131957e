#include "team/team_schedule.h"

#include <algorithm>
#include <utility>

namespace replybar::team {

CheckSchedule::CheckSchedule(std::int64_t periodMs, Random random, std::int64_t startMs)
    : periodMs_(std::max<std::int64_t>(periodMs, 1)), random_(std::move(random)) {
    beatMs_ = startMs + between(0, periodMs_ - 1);
}

std::int64_t CheckSchedule::between(std::int64_t low, std::int64_t high) {
    if (high <= low) return low;
    return low + static_cast<std::int64_t>(random_() % static_cast<std::uint64_t>(high - low + 1));
}

std::int64_t CheckSchedule::nextRegular(std::int64_t nowMs) const {
    const std::int64_t since = nowMs - beatMs_;
    // Floor division: `since` is negative before the first beat.
    const std::int64_t beats = since >= 0 ? since / periodMs_ : -((-since - 1) / periodMs_) - 1;
    return beatMs_ + (beats + 1) * periodMs_;
}

std::int64_t CheckSchedule::afterNotice(std::int64_t nowMs) {
    return nowMs + between(kNoticeDelayMinMs, kNoticeDelayMaxMs);
}

std::int64_t CheckSchedule::afterFailedLook(std::int64_t nowMs) {
    return std::min(nowMs + between(kRetryMinMs, kRetryMaxMs), nextRegular(nowMs));
}

bool MissingGrace::waitOut(std::int64_t nowMs) {
    if (!armed_) return false;
    if (!since_) since_ = nowMs;
    if (nowMs - *since_ < kGraceMs) return true;
    armed_ = false;
    return false;
}

}  // namespace replybar::team
