#include "controls/left_bar.h"

#include <gtest/gtest.h>

namespace replybar::menu {
namespace {

// The pixels the menu drew from the picture it used to carry: the shade, highlight, band and
// edge columns at the top, across the gradients' stops, and at the bottom.
TEST(LeftBar, ThePixelsOfThePictureItReplaces) {
    const std::vector<std::uint32_t> px = leftBarPixels();
    ASSERT_EQ(px.size(), std::size_t{kLeftBarWidth} * kLeftBarHeight);
    const struct {
        int x, y;
        std::uint32_t rgb;
    } cases[] = {{0, 0, 0x1b347c},   {1, 0, 0x5065a4},   {3, 0, 0x1e3a8a},  {18, 0, 0x1b347c},
                 {19, 0, 0x162c68},  {0, 511, 0x275dcf}, {5, 700, 0x4086f6}, {10, 341, 0x1d4ed8},
                 {10, 342, 0x1d4ed8}, {2, 1023, 0xabd2fd}, {19, 1023, 0x6e94be},
                 {0, 185, 0x1a3ea2},  {1, 185, 0x4f6ec5}};  // a gradient going down rounds down
    for (const auto& c : cases)
        EXPECT_EQ(px[static_cast<std::size_t>(c.y * kLeftBarWidth + c.x)], c.rgb) << c.x << "," << c.y;
    // Every pixel as the picture had it: 20,480 of them, told by their FNV-1a hash.
    std::uint64_t hash = 1469598103934665603ull;
    for (const std::uint32_t p : px) hash = (hash ^ p) * 1099511628211ull;
    EXPECT_EQ(hash, 0x43fb42c84ddf6122ull);
}

}  // namespace
}  // namespace replybar::menu
