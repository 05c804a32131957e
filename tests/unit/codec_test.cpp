#include "win/codec.h"

#include "reply/reply_table.h"

#include <gtest/gtest.h>

namespace replybar::codec {
namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::wstring kGrin = L"\U0001F600";  // outside the BMP and outside GBK

TEST(Utf8, RoundTripsAndKnownBytes) {
    struct Case {
        std::wstring text;
        std::string utf8;
    };
    const Case cases[] = {
        {L"", ""},
        {L"abc\r\n", "abc\r\n"},
        {L"中文", "\xE4\xB8\xAD\xE6\x96\x87"},
        {kGrin, "\xF0\x9F\x98\x80"},
        {L"a" + kGrin + L"中\u00E9", "a\xF0\x9F\x98\x80\xE4\xB8\xAD\xC3\xA9"},
        {std::wstring(1, L'\0') + L"x", std::string(1, '\0') + "x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUtf8(c.text), c.utf8);
        EXPECT_EQ(fromUtf8(c.utf8), c.text);
    }
}

TEST(Utf8, BrokenInputBecomesReplacementCharacters) {
    struct Case {
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"a\xFF\x62", L"a\uFFFDb"},
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                      // overlong "/"
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xE4\xB8", L"\uFFFD"},                            // cut off at the end
        {"\xE4\xB8\x61", L"\uFFFDa"},                       // cut off before ASCII
        {"\x80", L"\uFFFD"},
    };
    for (const Case& c : cases) EXPECT_EQ(fromUtf8(c.bytes), c.text) << c.bytes;
}

TEST(Utf8, LoneSurrogateIsWrittenAsReplacement) {
    EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"a"), "\xEF\xBF\xBD\x61");
}

TEST(Gbk, KnownBytes) {
    EXPECT_EQ(toGbk(L"中文"), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(toGbk(L"ab\r\n"), "ab\r\n");
    EXPECT_EQ(toGbk(L""), "");
    EXPECT_EQ(fromGbk("\xD6\xD0\xCE\xC4"), L"中文");
}

TEST(Gbk, NoSubstituteForMissingCharacters) {
    EXPECT_EQ(toGbk(kGrin), std::nullopt);
    EXPECT_EQ(toGbk(L"中" + kGrin), std::nullopt);
}

TEST(Gbk, BrokenBytesBecomeReplacementAndDoNotSwallowAscii) {
    EXPECT_EQ(fromGbk("\x81 x"), L"\uFFFD x");  // lead byte with a trail byte out of range
    EXPECT_EQ(fromGbk("ab\xD6"), L"ab\uFFFD");  // lead byte cut off at the end
}

TEST(Gbk, ByteLength) {
    struct Case {
        std::wstring text;
        std::size_t length;
    };
    const Case cases[] = {
        {L"", 0},
        {L"ab", 2},
        {L"中文", 4},
        {L"a" + kGrin, 3},  // two UTF-16 units, each a "?"
        {L"中" + kGrin + L"b", 5},
    };
    for (const Case& c : cases) EXPECT_EQ(gbkByteLength(c.text), c.length) << toUtf8(c.text);
}

TEST(StoreText, GbkWhenPossibleElseMarkedUtf8) {
    EXPECT_EQ(encodeStoreText(L"中文\r\n"), "\xD6\xD0\xCE\xC4\r\n");
    EXPECT_EQ(encodeStoreText(kGrin), kBom + "\xF0\x9F\x98\x80");
    EXPECT_EQ(encodeStoreText(L"中" + kGrin), kBom + "\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(decodeStoreText(kBom + "\xE4\xB8\xAD"), L"中");  // the mark alone picks UTF-8
}

// Files that Notepad saved as "Unicode" or "Unicode big endian"; a tab shows as a space in the row.
TEST(StoreText, Utf16FilesReadAsTheirText) {
    using namespace std::string_literals;
    EXPECT_EQ(decodeStoreText("\xFF\xFE\x2D\x4E\x87\x65\r\0\n\0"s), L"中文\r\n");
    EXPECT_EQ(decodeStoreText("\xFE\xFF\x4E\x2D\x65\x87"s), L"中文");
    EXPECT_EQ(decodeStoreText("\xFF\xFE\x3D\xD8\x00\xDE\t\0"s), kGrin + L"\t");
    EXPECT_EQ(decodeStoreText("\xFF\xFE" "a\0" "b"s), L"a\uFFFD");       // an odd last byte
    EXPECT_EQ(decodeStoreText("\xFE\xFF\xDC\x00\x00x"s), L"\uFFFDx");  // a lone surrogate
    EXPECT_EQ(encodeStoreText(L"中文"), "\xD6\xD0\xCE\xC4");  // still written as GBK
    EXPECT_EQ(displayTextOf(L"a\tb\r\nc"), L"a b c\u3000");
}

TEST(StoreText, RoundTrips) {
    const std::wstring texts[] = {L"",     L"abc\r\n", L"中文\r\n第二行", kGrin + L"\r\n",
                                  L"锘看",  // GBK bytes EF BB BF B4: look like the mark
                                  L"锘"};
    for (const std::wstring& text : texts)
        EXPECT_EQ(decodeStoreText(encodeStoreText(text)), text) << toUtf8(text);
}

TEST(StoreText, GbkThatLooksLikeTheMarkIsWrittenAsUtf8) {
    EXPECT_EQ(encodeStoreText(L"锘看"), kBom + toUtf8(L"锘看"));
    EXPECT_EQ(encodeStoreText(L"锘"), "\xEF\xBB");  // two bytes only: no mark, stays GBK
}

}  // namespace
}  // namespace replybar::codec
