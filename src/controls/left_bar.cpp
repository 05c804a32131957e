#include "controls/left_bar.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace replybar::menu {
namespace {

using Rgb = std::array<int, 3>;
using Stops = std::array<Rgb, 4>;  // spread evenly from the first row to the last

// The band, with 22 % white (the highlight), 10 % black (the shade) and 25 % black (the edge).
constexpr Stops kBand{{{0x1e, 0x3a, 0x8a}, {0x1d, 0x4e, 0xd8}, {0x3b, 0x82, 0xf6}, {0x93, 0xc5, 0xfd}}};
constexpr Stops kHighlight{
    {{0x50, 0x65, 0xa4}, {0x4f, 0x75, 0xe1}, {0x66, 0x9e, 0xf8}, {0xab, 0xd2, 0xfd}}};
constexpr Stops kShade{{{0x1b, 0x34, 0x7c}, {0x1a, 0x46, 0xc2}, {0x35, 0x75, 0xdd}, {0x84, 0xb1, 0xe4}}};
constexpr Stops kEdge{{{0x16, 0x2c, 0x68}, {0x16, 0x3a, 0xa2}, {0x2c, 0x62, 0xb8}, {0x6e, 0x94, 0xbe}}};
// Which of them each column is, left to right.
constexpr char kColumns[] = "shhmmmmmmmmmmmmmmsse";

// Integer rounding, half up (a floor division, also below zero): the same pixels everywhere.
int lerp(int a, int b, int num, int den) {
    const int n = (b - a) * 2 * num + den, d = 2 * den;
    return a + (n >= 0 ? n / d : -((-n + d - 1) / d));
}

std::uint32_t colourAt(const Stops& stops, int y) {
    constexpr int segments = static_cast<int>(std::tuple_size_v<Stops>) - 1;
    const int pos = y * segments;  // in units of (height - 1)
    const int seg = std::min(pos / (kLeftBarHeight - 1), segments - 1);
    const int num = pos - seg * (kLeftBarHeight - 1);
    std::uint32_t rgb = 0;
    for (int c = 0; c < 3; ++c)
        rgb = rgb << 8 | static_cast<std::uint32_t>(lerp(stops[seg][c], stops[seg + 1][c], num,
                                                         kLeftBarHeight - 1));
    return rgb;
}

}  // namespace

std::vector<std::uint32_t> leftBarPixels() {
    std::vector<std::uint32_t> out;
    out.reserve(std::size_t{kLeftBarWidth} * kLeftBarHeight);
    for (int y = 0; y < kLeftBarHeight; ++y) {
        const std::uint32_t colours[] = {colourAt(kShade, y), colourAt(kHighlight, y),
                                         colourAt(kBand, y), colourAt(kEdge, y)};
        for (int x = 0; x < kLeftBarWidth; ++x) {
            switch (kColumns[x]) {
                case 's': out.push_back(colours[0]); break;
                case 'h': out.push_back(colours[1]); break;
                case 'm': out.push_back(colours[2]); break;
                default: out.push_back(colours[3]); break;
            }
        }
    }
    return out;
}

}  // namespace replybar::menu
