#include "core/geometry.h"

#include <gtest/gtest.h>

namespace replybar {
namespace {

TEST(Geometry, TwipsToPixelsRoundsHalvesAwayFromZeroAndHoldsFarPositions) {
    const struct {
        double twips;
        int pixels;
    } cases[] = {
        {0, 0},
        {7, 0},
        {8, 1},
        {1545, 103},
        {-7, 0},
        {-8, -1},
        {22.5, 2},
        {2392.5, 160},  // 1.5 and 159.5: hand-edited positions, away from zero
        {-22.5, -2},
        {12.5, 1},
        {9e14, 1000000000},  // beyond 32 bits: held, not wrapped round to the other side
        {-9e14, -1000000000},
    };
    for (const auto& c : cases) EXPECT_EQ(twipsToPixels(c.twips), c.pixels) << c.twips;
}

TEST(Geometry, ATwipRectCoversThePixelsOfItsEdges) {
    const struct {
        TwipRect twips;
        PxRect pixels;
    } cases[] = {
        {{0, 0, kBarFaceWidthTwips, kBarFaceHeightTwips}, {0, 0, 103, 29}},
        {{-10, 700, 5805, 300}, {-1, 47, 386, 67}},  // each edge rounded on its own
        {{-90, 0, 465, 12525}, {-6, 0, 25, 835}},
    };
    for (const auto& c : cases) EXPECT_EQ(toPixels(c.twips), c.pixels) << c.twips.left;
}

}  // namespace
}  // namespace replybar
