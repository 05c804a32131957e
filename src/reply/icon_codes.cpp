#include "reply/icon_codes.h"

#include <cassert>

namespace replybar {
namespace {

std::wstring paddedTo(std::wstring codes, int length) {
    if (length > 0 && codes.size() < static_cast<std::size_t>(length))
        codes.resize(static_cast<std::size_t>(length), L' ');
    return codes;
}

}  // namespace

wchar_t iconCodeAt(const std::wstring& codes, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= codes.size()) return L' ';
    const wchar_t code = codes[static_cast<std::size_t>(row)];
    return iconIndexOf(code) >= 0 ? code : L' ';
}

std::wstring appendIconCode(const std::wstring& codes, int replyCount, wchar_t code) {
    assert(replyCount >= 0);
    // Codes past the last reply belong to no reply; the new one takes the next position.
    std::wstring out = paddedTo(codes, replyCount);
    out.resize(static_cast<std::size_t>(replyCount < 0 ? 0 : replyCount));
    out.push_back(code);
    return out;
}

std::wstring replaceIconCode(const std::wstring& codes, int k, wchar_t code) {
    assert(k >= 1);
    if (k < 1) return codes;
    std::wstring out = paddedTo(codes, k);
    out[static_cast<std::size_t>(k - 1)] = code;
    return out;
}

std::wstring removeIconCode(const std::wstring& codes, int k) {
    assert(k >= 1);
    if (k < 1) return codes;
    std::wstring out = paddedTo(codes, k);
    out.erase(static_cast<std::size_t>(k - 1), 1);
    return out;
}

}  // namespace replybar
