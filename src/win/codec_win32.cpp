// GBK through the code-page API, code page 936 named outright so that the store's files read the
// same whatever the user's ANSI code page is. Best-fit mapping is off and the used-default flag
// is checked, so a character without a GBK form is reported, never silently turned into "?".
#include <windows.h>

#include <climits>

#include "core/codec.h"

namespace replybar::codec {
namespace {

constexpr UINT kGbk = 936;
constexpr wchar_t kReplacement = 0xFFFD;

std::optional<std::string> gbkOf(const wchar_t* text, std::size_t count) {
    if (count == 0) return std::string();
    if (count > INT_MAX / 2) return std::nullopt;
    const int units = static_cast<int>(count);
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, text, units, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, text, units, out.data(), size, nullptr,
                            &usedDefault) != size ||
        usedDefault)
        return std::nullopt;
    return out;
}

// Strict decoding of a whole run; nullopt when any byte does not decode.
std::optional<std::wstring> strictFromGbk(const char* bytes, int count) {
    if (count == 0) return std::wstring();
    const int size = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes, count, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    if (MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes, count, out.data(), size) != size)
        return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> toGbk(const std::wstring& text) {
    return gbkOf(text.data(), text.size());
}

std::wstring fromGbk(const std::string& bytes) {
    if (bytes.size() > INT_MAX) return std::wstring();
    if (auto whole = strictFromGbk(bytes.data(), static_cast<int>(bytes.size()))) return *whole;
    // Some bytes are broken: go character by character, marking each byte that starts no
    // character and resynchronising on the next one, so that ASCII after a bad lead survives.
    std::wstring out;
    for (std::size_t i = 0; i < bytes.size();) {
        const bool pair =
            IsDBCSLeadByteEx(kGbk, static_cast<BYTE>(bytes[i])) && i + 1 < bytes.size();
        const int width = pair ? 2 : 1;
        if (auto one = strictFromGbk(bytes.data() + i, width)) {
            out += *one;
            i += static_cast<std::size_t>(width);
        } else {
            out.push_back(kReplacement);
            ++i;
        }
    }
    return out;
}

std::size_t gbkByteLength(const std::wstring& text) {
    if (auto whole = gbkOf(text.data(), text.size())) return whole->size();
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size();) {
        const bool pair =
            IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
        const std::size_t units = pair ? 2 : 1;
        if (auto one = gbkOf(text.data() + i, units))
            length += one->size();
        else
            length += units;  // each UTF-16 unit would become one "?"
        i += units;
    }
    return length;
}

}  // namespace replybar::codec
