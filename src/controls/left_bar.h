// The picture down the left edge of menu preset 4, 20 x 1024: a band that is deep blue at the top
// and turns light blue towards the bottom, a soft highlight column near its left edge and a
// darker edge on the right that parts the band from the items. Made when preset 4 is first
// applied rather than carried in the program: it is only a few gradients.
#pragma once

#include <cstdint>
#include <vector>

namespace replybar::menu {

inline constexpr int kLeftBarWidth = 20, kLeftBarHeight = 1024;

// The picture's pixels, rows from the top, each 0x00RRGGBB.
std::vector<std::uint32_t> leftBarPixels();

}  // namespace replybar::menu
