// UTF-8 by hand (the same code serves 32-bit wchar_t natively and UTF-16 on Windows) and the
// choice between GBK and UTF-8 for the reply store. The GBK half lives in codec_posix.cpp and
// codec_win32.cpp.
#include "core/codec.h"

#include <type_traits>

namespace replybar::codec {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr std::size_t kByteOrderMarkSize = 3;
constexpr bool kUtf16 = sizeof(wchar_t) == 2;

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void appendCodePoint(std::wstring& out, char32_t c) {
    if constexpr (kUtf16) {
        if (c > 0xFFFF) {
            c -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(c));
}

// The code point starting at text[i]; advances i. Lone surrogates and values beyond Unicode
// come back as U+FFFD.
char32_t nextCodePoint(const std::wstring& text, std::size_t& i) {
    const char32_t c = static_cast<std::make_unsigned_t<wchar_t>>(text[i++]);
    if constexpr (kUtf16) {
        if (c >= 0xD800 && c <= 0xDBFF && i < text.size()) {
            const char32_t low = static_cast<std::make_unsigned_t<wchar_t>>(text[i]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++i;
                return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            }
        }
    }
    if (isSurrogate(c) || c > 0x10FFFF) return kReplacement;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool startsWithByteOrderMark(const std::string& bytes) {
    return bytes.compare(0, kByteOrderMarkSize, kByteOrderMark) == 0;
}

// UTF-16 from byte `start` on, in either byte order, as Notepad saves "Unicode" files. Lone
// surrogates and an odd last byte become U+FFFD.
std::wstring fromUtf16(const std::string& bytes, std::size_t start, bool bigEndian) {
    std::wstring out;
    out.reserve(bytes.size() / 2);
    auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    std::size_t i = start;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendCodePoint(out, isSurrogate(c) ? kReplacement : c);
    }
    if (i < bytes.size()) appendCodePoint(out, kReplacement);
    return out;
}

}  // namespace

std::string toUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) appendUtf8(out, nextCodePoint(text, i));
    return out;
}

// Strict decoding: overlong forms, surrogates and values beyond U+10FFFF are refused, and each
// broken sequence (its longest valid beginning) becomes one U+FFFD.
std::wstring fromUtf8(const std::string& bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i++]);
        if (lead < 0x80) {
            out.push_back(static_cast<wchar_t>(lead));
            continue;
        }
        int trail;
        char32_t c;
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the first trail byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1, c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2, c = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3, c = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            appendCodePoint(out, kReplacement);
            continue;
        }
        bool complete = true;
        for (int k = 0; k < trail; ++k, low = 0x80, high = 0xBF) {
            const unsigned char b = i < n ? static_cast<unsigned char>(bytes[i]) : 0;
            if (i >= n || b < low || b > high) {
                complete = false;
                break;
            }
            c = (c << 6) | (b & 0x3F);
            ++i;
        }
        appendCodePoint(out, complete ? c : kReplacement);
    }
    return out;
}

namespace {

enum class StoreEncoding { Gbk, Utf8, Utf8AfterMark, Utf16Le, Utf16Be };

// How much of UTF-8 a text's bytes use, when every byte decodes as strict UTF-8.
enum class Utf8Use { NotUtf8, AsciiOnly, TwoByteOnly, Wider };

Utf8Use utf8Use(const std::string& bytes) {
    Utf8Use use = Utf8Use::AsciiOnly;
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const auto lead = static_cast<unsigned char>(bytes[i++]);
        if (lead < 0x80) continue;
        int trail;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return Utf8Use::NotUtf8;
        }
        for (int k = 0; k < trail; ++k, ++i, low = 0x80, high = 0xBF) {
            if (i >= n) return Utf8Use::NotUtf8;
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b < low || b > high) return Utf8Use::NotUtf8;
        }
        use = trail == 1 && use != Utf8Use::Wider ? Utf8Use::TwoByteOnly : Utf8Use::Wider;
    }
    return use;
}

// How a reply file's bytes are read. A byte-order mark decides first. Then NUL bytes, which no
// GBK or UTF-8 text file holds: when they sit mostly at odd offsets the file is UTF-16
// little-endian ("a\0b\0"), mostly at even offsets big-endian; text that mixes ASCII with
// characters like U+4E00 puts some on the other side, hence "mostly" (three to one). Then UTF-8
// without a mark, as today's Notepad saves. GBK rarely passes as UTF-8: every GBK character is a
// lead byte 81-FE and a trail byte 40-FE, and UTF-8 wants C2-DF or E0-EF leads followed by only
// 80-BF, so each Chinese character has roughly one chance in ten of fitting, and a text of a few
// characters practically none. The few that do are short texts of two-byte pairs (a lone "一"
// is D2 BB), which in UTF-8 are Latin, Greek or Cyrillic letters, never Chinese; and every
// two-byte UTF-8 pair is a GBK pair too. So only text with a wider UTF-8 sequence (Chinese
// takes three bytes) reads as UTF-8, and every file the store ever wrote reads as before.
// Everything else is GBK, the encoding of every reply file users already have.
StoreEncoding storeEncodingOf(const std::string& bytes) {
    if (startsWithByteOrderMark(bytes)) return StoreEncoding::Utf8AfterMark;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return StoreEncoding::Utf16Le;
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return StoreEncoding::Utf16Be;
    std::size_t nulsAtEven = 0, nulsAtOdd = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0') ++(i % 2 ? nulsAtOdd : nulsAtEven);
    if (nulsAtOdd > 0 && nulsAtOdd >= 3 * nulsAtEven) return StoreEncoding::Utf16Le;
    if (nulsAtEven > 0 && nulsAtEven >= 3 * nulsAtOdd) return StoreEncoding::Utf16Be;
    switch (utf8Use(bytes)) {
        case Utf8Use::Wider: return StoreEncoding::Utf8;
        case Utf8Use::TwoByteOnly:
        case Utf8Use::NotUtf8:
        case Utf8Use::AsciiOnly: break;
    }
    return StoreEncoding::Gbk;
}

}  // namespace

std::string encodeStoreText(const std::wstring& text) {
    // GBK bytes that a reader would take for another encoding (a mark at the start, NULs in the
    // pattern of UTF-16, or a run that is valid UTF-8) are written as UTF-8 with its mark instead,
    // so that every text reads back as it was written.
    if (auto gbk = toGbk(text); gbk && storeEncodingOf(*gbk) == StoreEncoding::Gbk)
        return *std::move(gbk);
    return kByteOrderMark + toUtf8(text);
}

std::wstring decodeStoreText(const std::string& bytes) {
    switch (storeEncodingOf(bytes)) {
        case StoreEncoding::Utf8AfterMark: return fromUtf8(bytes.substr(kByteOrderMarkSize));
        case StoreEncoding::Utf8: return fromUtf8(bytes);
        case StoreEncoding::Utf16Le:
            return fromUtf16(bytes, bytes.compare(0, 2, "\xFF\xFE") == 0 ? 2 : 0, false);
        case StoreEncoding::Utf16Be:
            return fromUtf16(bytes, bytes.compare(0, 2, "\xFE\xFF") == 0 ? 2 : 0, true);
        case StoreEncoding::Gbk: break;
    }
    return fromGbk(bytes);
}

}  // namespace replybar::codec
