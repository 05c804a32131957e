// The one place where text becomes bytes and back. Inside, text is std::wstring; the reply
// store's files are GBK (code page 936) whenever the text has a GBK form, else UTF-8 with a
// byte-order mark, so that nothing a user types is lost and every GBK file reads as GBK.
// Natively this is iconv (codec_posix.cpp); on Windows the code-page API (codec_win32.cpp).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace replybar::codec {

// GBK bytes of `text`, or nullopt when a character has no GBK form (no best-fit substitution).
std::optional<std::string> toGbk(const std::wstring& text);
// Text of GBK bytes; bytes that do not decode become U+FFFD.
std::wstring fromGbk(const std::string& bytes);

std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const std::string& bytes);

// What the reply store writes: GBK when possible and when those bytes read back as GBK, else the
// UTF-8 byte-order mark and UTF-8.
std::string encodeStoreText(const std::wstring& text);
// Reads either form back, and files saved by other editors: a byte-order mark (UTF-8, or UTF-16
// in either byte order) decides; without one, NUL bytes in the pattern of UTF-16 mean UTF-16,
// valid UTF-8 with at least one multi-byte character means UTF-8, and anything else is GBK.
// The text never holds a NUL: a stray one in a GBK or UTF-8 file is left out.
std::wstring decodeStoreText(const std::string& bytes);

// Where a GBK or UTF-8 text (unmarked, or with the UTF-8 mark) turns into the other encoding, as
// when a lead appends rows saved by another editor. Each physical line (CR LF, LF or a lone CR
// ends one) says GBK when it is not valid UTF-8, UTF-8 when it is and holds a sequence of three
// bytes or more, and nothing otherwise; the mark or the first line that says something sets the
// text's encoding. `line` is 1-based. UTF-16 texts have one encoding by nature: nullopt.
struct EncodingChange {
    int line = 0;
    bool toUtf8 = false;  // the later lines are UTF-8 (else GBK)
    bool operator==(const EncodingChange&) const = default;
};
std::optional<EncodingChange> encodingChangeOf(const std::string& bytes);

// Length in bytes of `text` in the ANSI code page (GBK): a double-byte character counts 2,
// a character without a GBK form counts 1 per UTF-16 unit (it would become "?").
std::size_t gbkByteLength(const std::wstring& text);

}  // namespace replybar::codec
