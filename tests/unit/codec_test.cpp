#include "core/codec.h"

#include "core/replies.h"

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
    EXPECT_EQ(decodeStoreText("\xFF\xFE"
                              "a\0"
                              "b"s),
              L"a\uFFFD");                                             // an odd last byte
    EXPECT_EQ(decodeStoreText("\xFE\xFF\xDC\x00\x00x"s), L"\uFFFDx");  // a lone surrogate
    EXPECT_EQ(encodeStoreText(L"中文"), "\xD6\xD0\xCE\xC4");           // still written as GBK
    EXPECT_EQ(displayTextOf(L"a\tb\r\nc"), L"a b c\u3000");
}

// Files saved without a mark: today's Notepad writes UTF-8, and "Unicode" saved by some editors
// has no mark either. GBK stays the reading of everything else.
TEST(StoreText, UnmarkedFilesReadByWhatTheirBytesCanBe) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"UTF-8", "\xE4\xB8\xAD\xE6\x96\x87\r\n", L"中文\r\n"},
        {"UTF-8 with an emoji", "ok \xF0\x9F\x98\x80", L"ok " + kGrin},
        {"GBK", "\xD6\xD0\xCE\xC4\r\n", L"中文\r\n"},
        {"GBK, almost UTF-8", "\xC4\xE3\xBA\xC3", L"你好"},
        {"GBK that is also two-byte UTF-8, as older versions wrote it", "\xD2\xBB\r\n", L"一\r\n"},
        {"GBK broken like UTF-8 cut short", "a\xE4\xB8", L"a\u6D93"},
        {"ASCII", "plain\r\n", L"plain\r\n"},
        {"empty", "", L""},
        {"UTF-16 LE", "h\0i\0\r\0\n\0"s, L"hi\r\n"},
        {"UTF-16 BE", "\0h\0i"s, L"hi"},
        {"UTF-16 LE, Chinese and a line end", "\x2D\x4E\x87\x65\r\0\n\0"s, L"中文\r\n"},
        {"UTF-16 LE with U+4E00 among ASCII",
         "\0\x4E"
         "a\0b\0c\0"s,
         L"一abc"},
    };
    for (const Case& c : cases) EXPECT_EQ(decodeStoreText(c.bytes), c.text) << c.what;
}

// A NUL that is not in the pattern of UTF-16 is a stray byte: the file reads as its own encoding
// without it, and no text that is read holds a NUL (it would cut the paste short).
TEST(StoreText, StrayNulsAreLeftOutAndNeverMakeUtf16) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"GBK, NUL at an odd offset", "\xC4\xE3\xBA\xC3!\0"s, L"你好!"},
        {"GBK, NUL at an even offset", "\xC4\xE3\xBA\xC3\0!"s, L"你好!"},
        {"GBK, NUL inside a character", "\xC4\0\xE3\xBA\xC3\r\n"s, L"你好\r\n"},
        {"ASCII, even length", "abc\0"s, L"abc"},
        {"ASCII, NUL first", "\0abc"s, L"abc"},
        {"UTF-8", "\xE4\xB8\xAD\0\xE6\x96\x87\r\n"s, L"中文\r\n"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF\xE4\xB8\xAD\0"s, L"中"},
        {"two NULs, odd length", "\0a\0"s, L"a"},
        {"two NULs, pairs that are no text", "\x01\0\x02\0"s, L"\x01\x02"},
        {"a NUL pair", "a\0\0\0b\0"s, L"ab"},
        {"marked UTF-16 holding U+0000", "\xFF\xFEh\0\0\0i\0"s, L"hi"},
    };
    for (const Case& c : cases) {
        const std::wstring text = decodeStoreText(c.bytes);
        EXPECT_EQ(text, c.text) << c.what;
        EXPECT_EQ(text.find(L'\0'), std::wstring::npos) << c.what;
    }
}

// Whatever is written reads back as it was: GBK that a reader would take for UTF-8 or UTF-16 is
// written as UTF-8 with its mark; every other GBK text is written as before.
TEST(StoreText, GbkThatReadsAsAnotherEncodingIsWrittenAsMarkedUtf8) {
    EXPECT_EQ(encodeStoreText(L"一"), "\xD2\xBB");  // also valid UTF-8 (U+04BB), but no Chinese
    EXPECT_EQ(encodeStoreText(L"\u4E2D\u6587"), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(encodeStoreText(L"一二三\r\n"), "\xD2\xBB\xB6\xFE\xC8\xFD\r\n");
    for (const std::wstring& text : {std::wstring(L"一"), std::wstring(L"丝丞")})
        EXPECT_EQ(decodeStoreText(encodeStoreText(text)), text) << toUtf8(text);
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
