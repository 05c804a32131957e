#include "search/pinyin.h"

#include <algorithm>
#include <cassert>
#include <iterator>

namespace replybar::pinyin {
namespace {

#include "search/pinyin_table.inc"

constexpr std::uint16_t kSyllableMask = (1u << kSyllableBits) - 1;
constexpr std::size_t kCodePoints = kTableLast - kTableFirst + 1;

static_assert(std::size(kPrimary) == (kCodePoints + 1) / 2 * 3);
static_assert(std::size(kBlockStart) == (kCodePoints + kBlockSize - 1) / kBlockSize);

// Code point `at`'s twelve bits: two of them in every three bytes, the first in the low bits.
std::uint16_t primaryAt(std::size_t at) {
    const std::uint8_t* p = kPrimary + at / 2 * 3;
    return at % 2 == 0 ? static_cast<std::uint16_t>(p[0] | (p[1] & 0x0F) << 8)
                       : static_cast<std::uint16_t>(p[1] >> 4 | p[2] << 4);
}

}  // namespace

std::string_view syllableText(Syllable syllable) {
    assert(syllable < std::size(kSyllables));
    return kSyllables[syllable];
}

Readings readingsOf(char32_t c) {
    if (c >= kTableFirst && c <= kTableLast) {
        const std::size_t at = c - kTableFirst;
        const std::uint16_t entry = primaryAt(at);
        if (entry == 0) return {};
        const std::size_t others = entry >> kSyllableBits;
        std::size_t start = 0;
        if (others > 0) {
            // Further readings are stored code point after code point; the block start saves
            // counting from the beginning.
            const std::size_t blockFirst = at - at % kBlockSize;
            start = kBlockStart[blockFirst / kBlockSize];
            for (std::size_t i = blockFirst; i < at; ++i) start += primaryAt(i) >> kSyllableBits;
        }
        return Readings(static_cast<Syllable>((entry & kSyllableMask) - 1), kOthers + start,
                        others);
    }
    const auto* hit = std::find_if(std::begin(kOutside), std::end(kOutside),
                                   [c](const OutsideHanzi& h) { return h.codePoint == c; });
    if (hit == std::end(kOutside)) return {};
    return Readings(hit->readings[0], hit->readings + 1, hit->count - 1u);
}

}  // namespace replybar::pinyin
