#include "search/pinyin.h"

#include "core/codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace replybar::pinyin {
namespace {

std::vector<std::string> textsOf(char32_t c) {
    std::vector<std::string> texts;
    const Readings r = readingsOf(c);
    for (std::size_t i = 0; i < r.size(); ++i) texts.emplace_back(syllableText(r[i]));
    return texts;
}

TEST(Pinyin, ReadingsCommonFirstWithoutTones) {
    using V = std::vector<std::string>;
    EXPECT_EQ(textsOf(U'欢'), V{"huan"});
    EXPECT_EQ(textsOf(U'〇'), V{"ling"});        // outside the CJK block
    EXPECT_EQ(textsOf(U'龥'), V{"yu"});          // U+9FA5, past GB 2312
    EXPECT_EQ(textsOf(U'绿'), (V{"lv", "lu"}));  // ü as v, the literary reading after
    EXPECT_EQ(textsOf(U'行'), (V{"xing", "hang", "heng"}));
    EXPECT_EQ(textsOf(U'嗯'), (V{"n", "ng"}));  // syllables without a vowel, each once
    for (char32_t c : {U'A', U'1', U'，', U'\u3400', U'\uF900', U'\U00020000', U'\uA000'})
        EXPECT_TRUE(readingsOf(c).empty()) << static_cast<unsigned>(c);
}

// Every hanzi of GB 2312 (rows 16-87), decoded through the store's own codec.
TEST(Pinyin, EveryGb2312HanziHasAReading) {
    int hanzi = 0;
    for (int lead = 0xB0; lead <= 0xF7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            if (lead == 0xD7 && trail > 0xF9) continue;  // the five empty places of row 55
            const std::wstring c =
                codec::fromGbk({static_cast<char>(lead), static_cast<char>(trail)});
            ASSERT_EQ(c.size(), 1u) << std::hex << lead << trail;
            ++hanzi;
            for (const std::string& s : textsOf(static_cast<char32_t>(c[0])))
                EXPECT_EQ(s.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), s.npos) << s;
            ASSERT_FALSE(readingsOf(static_cast<char32_t>(c[0])).empty())
                << std::hex << static_cast<unsigned>(c[0]);
        }
    EXPECT_EQ(hanzi, 6763);
}

}  // namespace
}  // namespace replybar::pinyin
