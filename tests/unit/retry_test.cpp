#include "core/retry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace replybar {
namespace {

constexpr unsigned long kHeld = 32, kDenied = 5, kGone = 2;  // two worth waiting for, one not

// Each case: what the step returns on each try (the last one repeats).
TEST(RetryBriefly, WaitsOutAHolderForAboutASecondAndNoMore) {
    const struct {
        const char* what;
        std::vector<unsigned long> results;
        unsigned long outcome;
        std::size_t tries;
    } cases[] = {
        {"done at once", {0}, 0, 1},
        {"held twice, then free", {kHeld, kDenied, 0}, 0, 3},
        {"an error waiting does not cure", {kGone}, kGone, 1},
        {"held, then that error", {kHeld, kGone}, kGone, 2},
        {"held for good", {kHeld}, kHeld, 8},
    };
    for (const auto& c : cases) {
        std::size_t tries = 0;
        std::vector<unsigned> pauses;
        const unsigned long outcome =
            retryBriefly([&] { return c.results[std::min(tries++, c.results.size() - 1)]; },
                         [](unsigned long e) { return e == kHeld || e == kDenied; },
                         [&](unsigned ms) { pauses.push_back(ms); });
        EXPECT_EQ(outcome, c.outcome) << c.what;
        EXPECT_EQ(tries, c.tries) << c.what;
        ASSERT_EQ(pauses.size(), tries - 1) << c.what;
        unsigned total = 0;
        for (std::size_t i = 0; i < pauses.size(); ++i) {
            if (i > 0) {
                EXPECT_GE(pauses[i], pauses[i - 1]) << c.what;
            }
            total += pauses[i];
        }
        if (c.outcome == kHeld) {
            EXPECT_GE(total, 900u);
            EXPECT_LE(total, 1200u);
        }
    }
}

}  // namespace
}  // namespace replybar
