// When a bar looks at the team library's source. A team of two hundred bars reads one share or
// one web server, so no two of them may keep the same beat: each bar checks on a beat of its own,
// a random offset within the period, and after a change notice each waits a random moment of up
// to ten seconds before it looks, so that a new version is fetched over a spread of time rather
// than by every bar in the same second. The random source is the caller's; nothing here reads a
// clock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace replybar::team {

class CheckSchedule {
public:
    // Uniform over all 32-bit values.
    using Random = std::function<std::uint32_t()>;
    // After a notice: long enough that one check follows a save's burst of notices; the rest
    // spreads the bars' reads.
    static constexpr std::int64_t kNoticeDelayMinMs = 250;
    static constexpr std::int64_t kNoticeDelayMaxMs = 10000;
    // A path that could not be looked at is looked at again this soon (a share that went away
    // comes back, and its change notice has to be set up again), never later than the beat.
    static constexpr std::int64_t kRetryMinMs = 5000;
    static constexpr std::int64_t kRetryMaxMs = 15000;

    // The beat is fixed here: `startMs` plus a random part of the period.
    CheckSchedule(std::int64_t periodMs, Random random, std::int64_t startMs);

    // The first moment on the beat after `nowMs`. A check brought forward (a notice, a settling
    // file) does not move the beat, so the bars stay spread whatever happened meanwhile.
    std::int64_t nextRegular(std::int64_t nowMs) const;
    std::int64_t afterNotice(std::int64_t nowMs);
    std::int64_t afterFailedLook(std::int64_t nowMs);

private:
    std::int64_t between(std::int64_t low, std::int64_t high);

    std::int64_t periodMs_;
    Random random_;
    std::int64_t beatMs_;
};

// After a good read, a file that is not found is still being saved for a while: Excel saves by
// deleting and renaming, and a share's caches then answer "not found" for up to ten seconds.
// Looks that find nothing within that time are waited out rather than told.
class MissingGrace {
public:
    static constexpr std::int64_t kGraceMs = 10000;
    void readWell() {
        armed_ = true;
        since_.reset();
    }
    void found() { since_.reset(); }
    // A look found no file: whether to look again soon rather than tell it. Once the grace
    // has run out it holds only after the next good read.
    bool waitOut(std::int64_t nowMs);

private:
    bool armed_ = false;
    std::optional<std::int64_t> since_;
};

}  // namespace replybar::team
