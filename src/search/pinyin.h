// Toneless pinyin readings of hanzi, for finding a reply by the letters a user types through a
// pinyin input method. Readings are lowercase ASCII with "v" for "ü"; the common reading comes
// first. Covered: U+4E00..U+9FFF (every hanzi of GB 2312 among them) and 〇. A lookup is a few
// table reads and never allocates: the search runs it for every character of every reply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace replybar::pinyin {

// One toneless syllable ("xing"); compare with syllableText.
using Syllable = std::uint16_t;

std::string_view syllableText(Syllable syllable);

// The readings of one character: empty for anything that is not a covered hanzi.
class Readings {
public:
    Readings() = default;
    Readings(Syllable first, const std::uint16_t* others, std::size_t otherCount)
        : first_(first), others_(others), count_(otherCount + 1) {}

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    Syllable operator[](std::size_t i) const { return i == 0 ? first_ : others_[i - 1]; }

private:
    Syllable first_ = 0;
    const std::uint16_t* others_ = nullptr;
    std::size_t count_ = 0;
};

Readings readingsOf(char32_t c);

}  // namespace replybar::pinyin
