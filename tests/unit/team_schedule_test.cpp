#include "team/team_schedule.h"

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace replybar::team {
namespace {

// A random source that gives `values` in turn.
CheckSchedule::Random scripted(std::vector<std::uint32_t> values) {
    return [values = std::move(values), at = std::size_t{0}]() mutable {
        return values.at(at++ % values.size());
    };
}

TEST(CheckSchedule, KeepsABeatOfItsOwnWhateverBroughtACheckForward) {
    // Period 60 s, started at 1 s, the beat drawn 15 s into the period: 16 s, 76 s, 136 s...
    const CheckSchedule schedule(60000, scripted({15000}), 1000);
    const struct {
        std::int64_t now, next;
    } cases[] = {
        {1000, 16000},     // the first regular check after the one at start
        {15999, 16000},    // a check brought forward just before the beat leaves the beat alone
        {16000, 76000},    // the check on the beat: the next one a period later
        {40000, 76000},    // after a notice's check in between
        {200000, 256000},  // long after: still on the beat
    };
    for (const auto& c : cases) EXPECT_EQ(schedule.nextRegular(c.now), c.next) << c.now;
}

TEST(CheckSchedule, WaitsAfterANoticeAndRetriesAFailedLookWithinItsBounds) {
    // The first value draws the beat (at 30 s); the rest each delay.
    CheckSchedule schedule(60000, scripted({30000, 0, 9750, 9751, 0, 10000, 10001}), 0);
    EXPECT_EQ(schedule.afterNotice(1000), 1250);   // the least: one check after a burst
    EXPECT_EQ(schedule.afterNotice(1000), 11000);  // the most: ten seconds
    EXPECT_EQ(schedule.afterNotice(1000), 1250);   // wraps, never beyond
    EXPECT_EQ(schedule.afterFailedLook(0), 5000);
    EXPECT_EQ(schedule.afterFailedLook(0), 15000);
    EXPECT_EQ(schedule.afterFailedLook(20000), 25000);
    // Never later than the beat: it comes at 30 s.
    CheckSchedule nearBeat(60000, scripted({30000, 10000}), 0);
    EXPECT_EQ(nearBeat.afterFailedLook(28000), 30000);
}

// Two hundred bars on one server: over a minute of rest, and for the fetch of a new version that
// each makes at its next regular check, no second carries more than the server should take.
TEST(CheckSchedule, TwoHundredBarsSpreadTheirChecksOverThePeriod) {
    std::mt19937 engine(20240601);
    const auto random = [&engine] { return static_cast<std::uint32_t>(engine()); };
    std::map<std::int64_t, int> perSecond;
    std::int64_t lastToHaveIt = 0;
    for (int bar = 0; bar < 200; ++bar) {
        const std::int64_t start = bar * 7;  // started within two seconds of each other
        const CheckSchedule schedule(60000, random, start);
        const std::int64_t published = 100000;
        const std::int64_t fetch = schedule.nextRegular(published);
        ++perSecond[fetch / 1000];
        lastToHaveIt = std::max(lastToHaveIt, fetch - published);
    }
    int peak = 0, total = 0;
    for (const auto& [second, count] : perSecond) peak = std::max(peak, count), total += count;
    EXPECT_EQ(total, 200);
    EXPECT_LE(peak, 20);
    EXPECT_LE(lastToHaveIt, 60000);
    EXPECT_GE(perSecond.size(), 45u);  // spread over most of the minute, not bunched
}

TEST(MissingGrace, WaitsOutNotFoundForTenSecondsAfterAGoodReadOnly) {
    MissingGrace grace;
    EXPECT_FALSE(grace.waitOut(0));  // never read: a missing file is told at once
    grace.readWell();
    EXPECT_TRUE(grace.waitOut(1000));
    EXPECT_TRUE(grace.waitOut(10999));
    EXPECT_FALSE(grace.waitOut(11000));  // ten seconds: told
    EXPECT_FALSE(grace.waitOut(12000));  // and then at each look, until the next good read
    grace.readWell();
    EXPECT_TRUE(grace.waitOut(20000));
    grace.found();  // back, then gone again: a grace of its own
    EXPECT_TRUE(grace.waitOut(29000));
    EXPECT_TRUE(grace.waitOut(38999));
    EXPECT_FALSE(grace.waitOut(39000));
}

}  // namespace
}  // namespace replybar::team
