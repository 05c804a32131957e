// UTF-8 by hand (the same code serves 32-bit wchar_t natively and UTF-16 on Windows) and the
// choice between GBK and UTF-8 for the reply store. The GBK half lives in codec_posix.cpp and
// codec_win32.cpp.
#include "core/codec.h"

#include <string>
#include <string_view>
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

// A NUL in a GBK or UTF-8 file is a stray byte, not text: it would end the text it lands in
// (the clipboard's, an edit control's). It goes, and the bytes around it join up again.
std::string withoutNuls(std::string bytes) {
    std::erase(bytes, '\0');
    return bytes;
}

// How much of UTF-8 a text's bytes use, when every byte decodes as strict UTF-8.
enum class Utf8Use { NotUtf8, AsciiOnly, TwoByteOnly, Wider };

Utf8Use utf8Use(std::string_view bytes) {
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

// A UTF-16 code unit a text file holds: not U+0000, no control but tab and the line breaks, no
// surrogate out of its pair. Bytes of another encoding read in pairs fail this often.
bool utf16UnitsAreText(const std::string& bytes, bool bigEndian) {
    bool expectLow = false;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        const char32_t c = bigEndian ? (a << 8 | b) : (b << 8 | a);
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (low != expectLow) return false;
        expectLow = c >= 0xD800 && c <= 0xDBFF;
        if ((c < 0x20 && c != L'\t' && c != L'\r' && c != L'\n') || (c >= 0x7F && c <= 0x9F))
            return false;
    }
    return !expectLow;
}

// How a reply file's bytes are read. A byte-order mark decides first. Then NUL bytes, which no
// GBK or UTF-8 text holds but which UTF-16 puts in every character below U+0100: the file is
// UTF-16 when it is whole units (an even length), at least two NULs sit on one side, mostly at
// odd offsets for little-endian ("a\0b\0"), mostly at even offsets for big-endian (text that
// mixes ASCII with characters like U+4E00 puts some on the other side, hence "mostly": three to
// one), and every unit read that way is one a text holds. A single NUL is no pattern: it is a
// stray byte in a file of another encoding, which reads as that encoding without it. Then UTF-8
// without a mark, as today's Notepad saves. GBK rarely passes as UTF-8: every GBK character is a
// lead byte 81-FE and a trail byte 40-FE, and UTF-8 wants C2-DF or E0-EF leads followed by only
// 80-BF, so each Chinese character has roughly one chance in ten of fitting, and a text of a few
// characters practically none. The few that do are short texts of two-byte pairs (a lone "一"
// is D2 BB), which in UTF-8 are Latin, Greek or Cyrillic letters, never Chinese; and every
// two-byte UTF-8 pair is a GBK pair too. So only text with a wider UTF-8 sequence (Chinese
// takes three bytes) reads as UTF-8, and every GBK file the store wrote still reads as GBK.
// Everything else is GBK, the encoding of every reply file users already have.
StoreEncoding storeEncodingOf(const std::string& bytes) {
    if (startsWithByteOrderMark(bytes)) return StoreEncoding::Utf8AfterMark;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return StoreEncoding::Utf16Le;
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return StoreEncoding::Utf16Be;
    std::size_t nulsAtEven = 0, nulsAtOdd = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0') ++(i % 2 ? nulsAtOdd : nulsAtEven);
    if (bytes.size() % 2 == 0) {
        if (nulsAtOdd >= 2 && nulsAtOdd >= 3 * nulsAtEven && utf16UnitsAreText(bytes, false))
            return StoreEncoding::Utf16Le;
        if (nulsAtEven >= 2 && nulsAtEven >= 3 * nulsAtOdd && utf16UnitsAreText(bytes, true))
            return StoreEncoding::Utf16Be;
    }
    switch (utf8Use(withoutNuls(bytes))) {
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
    std::wstring text;
    switch (storeEncodingOf(bytes)) {
        case StoreEncoding::Utf8AfterMark:
            text = fromUtf8(withoutNuls(bytes.substr(kByteOrderMarkSize)));
            break;
        case StoreEncoding::Utf8: text = fromUtf8(withoutNuls(bytes)); break;
        case StoreEncoding::Utf16Le:
            text = fromUtf16(bytes, bytes.compare(0, 2, "\xFF\xFE") == 0 ? 2 : 0, false);
            break;
        case StoreEncoding::Utf16Be:
            text = fromUtf16(bytes, bytes.compare(0, 2, "\xFE\xFF") == 0 ? 2 : 0, true);
            break;
        case StoreEncoding::Gbk: text = fromGbk(withoutNuls(bytes)); break;
    }
    // A marked UTF-16 file may hold U+0000 too; no text that is read holds one.
    std::erase(text, L'\0');
    return text;
}

std::optional<EncodingChange> encodingChangeOf(const std::string& bytes) {
    std::optional<bool> utf8;  // the text's encoding, once something says it
    std::size_t start = 0;
    switch (storeEncodingOf(bytes)) {
        case StoreEncoding::Utf16Le:
        case StoreEncoding::Utf16Be: return std::nullopt;
        case StoreEncoding::Utf8AfterMark:
            utf8 = true;
            start = kByteOrderMarkSize;
            break;
        case StoreEncoding::Utf8:
        case StoreEncoding::Gbk: break;
    }
    // Lines as the reader counts them once the stray NULs are gone. Neither encoding puts CR or
    // LF inside a character, so the bytes split where the text does.
    const std::string text = withoutNuls(bytes.substr(start));
    int line = 1;
    for (std::size_t at = 0;; ++line) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        std::optional<bool> said;
        switch (utf8Use(std::string_view(text).substr(at, end - at))) {
            case Utf8Use::NotUtf8: said = false; break;
            case Utf8Use::Wider: said = true; break;
            case Utf8Use::AsciiOnly:
            case Utf8Use::TwoByteOnly: break;
        }
        if (said && !utf8) utf8 = said;
        if (said && *said != *utf8) return EncodingChange{line, *said};
        if (end == text.size()) return std::nullopt;
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

}  // namespace replybar::codec
