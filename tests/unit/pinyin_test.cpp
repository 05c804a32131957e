#include "reply/pinyin.h"

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
    struct Case {
        char32_t c;
        std::vector<std::string> startsWith;
        std::vector<std::string> alsoHas;
    };
    const Case cases[] = {
        {U'欢', {"huan"}, {}},
        {U'行', {"xing"}, {"hang"}},
        {U'长', {"zhang"}, {"chang"}},
        {U'绿', {"lv"}, {"lu"}},    // ü as v; the literary reading too
        {U'女', {"nv"}, {}},
        {U'一', {"yi"}, {}},        // first of the block
        {U'龥', {"yu"}, {}},        // U+9FA5, past GB 2312
        {U'〇', {"ling"}, {}},      // outside the block
        {U'嗯', {"n"}, {"ng"}},     // syllables without a vowel
    };
    for (const Case& c : cases) {
        const std::vector<std::string> got = textsOf(c.c);
        SCOPED_TRACE(static_cast<unsigned>(c.c));
        ASSERT_GE(got.size(), c.startsWith.size());
        EXPECT_TRUE(std::equal(c.startsWith.begin(), c.startsWith.end(), got.begin()));
        for (const std::string& s : c.alsoHas)
            EXPECT_NE(std::find(got.begin(), got.end(), s), got.end()) << s;
        for (const std::string& s : got)  // each once, lowercase ASCII
            EXPECT_EQ(std::count(got.begin(), got.end(), s), 1) << s;
    }
}

TEST(Pinyin, NoReadingsForWhatIsNotACoveredHanzi) {
    for (char32_t c : {U'A', U'1', U'，', U'　', U'\u3400', U'\uF900', U'\U00020000', U'\uFFFF',
                       U'\u4DFF', U'\uA000', char32_t{0x110000}})
        EXPECT_TRUE(readingsOf(c).empty()) << static_cast<unsigned>(c);
}

// Every hanzi of GB 2312 (rows 16-87), decoded through the store's own codec.
TEST(Pinyin, EveryGb2312HanziHasAReading) {
    int hanzi = 0;
    for (int lead = 0xB0; lead <= 0xF7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            if (lead == 0xD7 && trail > 0xF9) continue;  // the five empty places of row 55
            const std::wstring c = codec::fromGbk({static_cast<char>(lead), static_cast<char>(trail)});
            ASSERT_EQ(c.size(), 1u) << std::hex << lead << trail;
            ++hanzi;
            const Readings r = readingsOf(static_cast<char32_t>(c[0]));
            ASSERT_FALSE(r.empty()) << std::hex << static_cast<unsigned>(c[0]);
            for (std::size_t i = 0; i < r.size(); ++i) {
                const std::string_view s = syllableText(r[i]);
                EXPECT_FALSE(s.empty());
                EXPECT_EQ(s.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), s.npos) << s;
            }
        }
    EXPECT_EQ(hanzi, 6763);
}

}  // namespace
}  // namespace replybar::pinyin
