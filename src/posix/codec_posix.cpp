// GBK through iconv for the native build. No transliteration: a character without a GBK form
// makes toGbk fail, so the caller can fall back to UTF-8 instead of storing a "?".
#include <iconv.h>

#include <cerrno>
#include <type_traits>

#include "core/codec.h"

namespace replybar::codec {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// GBK bytes of `count` wide characters, or nullopt when one of them has no GBK form.
std::optional<std::string> gbkOf(const Converter& cv, const wchar_t* text, std::size_t count) {
    if (!cv.ok()) return std::nullopt;
    iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
    std::string out(count * 2 + 8, '\0');  // GBK needs at most two bytes per character
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text));
    std::size_t inLeft = count * sizeof(wchar_t);
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    // A count of irreversible conversions would mean a substitution took place.
    if (iconv(cv.get(), &in, &inLeft, &outPtr, &outLeft) != 0) return std::nullopt;
    if (iconv(cv.get(), nullptr, nullptr, &outPtr, &outLeft) != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::optional<std::string> toGbk(const std::wstring& text) {
    const Converter cv("GBK", "WCHAR_T");
    return gbkOf(cv, text.data(), text.size());
}

std::wstring fromGbk(const std::string& bytes) {
    std::wstring out;
    const Converter cv("WCHAR_T", "GBK");
    if (!cv.ok()) {
        // No GBK tables installed: keep what is plain ASCII and mark the rest.
        for (unsigned char b : bytes) out.push_back(b < 0x80 ? b : kReplacement);
        return out;
    }
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        std::wstring chunk(inLeft + 1, L'\0');  // at least one byte per character
        char* outPtr = reinterpret_cast<char*>(chunk.data());
        std::size_t outLeft = chunk.size() * sizeof(wchar_t);
        const std::size_t rc = iconv(cv.get(), &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        chunk.resize(chunk.size() - outLeft / sizeof(wchar_t));
        out += chunk;
        if (rc != static_cast<std::size_t>(-1)) break;
        if (error == E2BIG) continue;
        if (error != EILSEQ && error != EINVAL) break;
        // A byte that starts no GBK character: mark it and resynchronise on the next byte, so
        // that an ASCII byte after a broken lead byte survives.
        out.push_back(kReplacement);
        ++in;
        --inLeft;
        iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::size_t gbkByteLength(const std::wstring& text) {
    const Converter cv("GBK", "WCHAR_T");
    if (auto whole = gbkOf(cv, text.data(), text.size())) return whole->size();
    std::size_t length = 0;
    for (const wchar_t& c : text) {
        if (auto one = gbkOf(cv, &c, 1))
            length += one->size();
        else
            length +=
                static_cast<std::make_unsigned_t<wchar_t>>(c) > 0xFFFF ? 2 : 1;  // UTF-16 units
    }
    return length;
}

}  // namespace replybar::codec
