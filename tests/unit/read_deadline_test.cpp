#include "team/read_deadline.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace replybar::team {
namespace {

using Verdict = ReadDeadline::Verdict;

// Each case: the times bytes arrive, then a look at one moment (ms since the read started).
TEST(ReadDeadline, EndsASilentReadSoonAndADrippingOneByItsTotal) {
    const struct {
        const char* what;
        std::vector<std::int64_t> progress;
        std::int64_t at;
        Verdict verdict;
        int waitMs;  // how long the next wait for bytes may last
    } cases[] = {
        {"bytes came: the silence counts from them", {5000}, 24000, Verdict::Going, 1000},
        {"silent for the no-progress limit", {5000}, 25000, Verdict::Stalled, 1},
        {"a byte every 5 s, near the end", {110000, 115000}, 118000, Verdict::Going, 2000},
        {"a byte every 5 s, at the end", {110000, 115000}, 120000, Verdict::TooLong, 1},
        {"the total wins when both are due", {100000}, 120000, Verdict::TooLong, 1},
        {"2 MB at 20 KB/s is whole by 105 s", {104000}, 105000, Verdict::Going, 15000},
    };
    for (const auto& c : cases) {
        ReadDeadline deadline({120000, 20000}, 0);
        for (std::int64_t t : c.progress) deadline.progressed(t);
        EXPECT_EQ(deadline.verdict(c.at), c.verdict) << c.what;
        EXPECT_EQ(deadline.waitMs(c.at), c.waitMs) << c.what;
    }
}

// A script of reads: "s3" a start that gets number 3, "s-" one refused, "e2+" read 2 ended and
// told, "e2-" ended and dropped.
TEST(ReadTurns, TellsALateAnswerUnlessANewerOneCameAndKeepsTwoUnderWayAtMost) {
    const struct {
        const char* what;
        const char* script;
    } cases[] = {
        {"reads in turn are each told", "s1 e1+ s2 e2+"},
        {"a read left behind is told when it ends first", "s1 s2 e1+ e2+"},
        {"a read left behind ending after a newer one is dropped", "s1 s2 e2+ e1-"},
        {"with two under way a third waits", "s1 s2 s- e1+ s3"},
        {"a dropped read frees its turn too", "s1 s2 e2+ s3 s- e1- s4 e4+ e3-"},
    };
    for (const auto& c : cases) {
        ReadTurns turns;
        std::istringstream steps(c.script);
        for (std::string step; steps >> step;) {
            if (step[0] == 's') {
                const std::optional<std::uint64_t> read = turns.start();
                EXPECT_EQ(read ? std::to_string(*read) : "-", step.substr(1)) << c.what;
            } else {
                const bool told = turns.ended(std::stoull(step.substr(1)));
                EXPECT_EQ(told, step.back() == '+') << c.what << ": " << step;
            }
        }
    }
}

}  // namespace
}  // namespace replybar::team
