#include "reply/reply_table.h"

#include <cassert>

namespace replybar {
namespace {

std::wstring paddedTo(std::wstring codes, int length) {
    if (length > 0 && codes.size() < static_cast<std::size_t>(length))
        codes.resize(static_cast<std::size_t>(length), L' ');
    return codes;
}

}  // namespace

std::wstring displayTextOf(const std::wstring& fullText) {
    std::wstring shown;
    shown.reserve(fullText.size() + 1);
    for (wchar_t c : fullText) {
        if (c == L'\r') continue;
        // A tab has no glyph in a one-line row: it shows as a space, like a line break.
        shown.push_back(c == L'\n' || c == L'\t' ? L' ' : c);
    }
    shown.push_back(L'\u3000');
    return shown;
}

int iconIndexOf(wchar_t code) { return code >= L'0' && code <= L'9' ? code - L'0' : -1; }

void setReplyText(Reply& reply, const std::wstring& fullText) {
    reply.fullText = fullText;
    reply.displayText = displayTextOf(fullText);
}

void setReplyIcon(Reply& reply, wchar_t code) {
    reply.icon = iconIndexOf(code);
    reply.iconCode = reply.icon >= 0 ? code : L' ';
}

std::wstring withoutLineBreaks(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (c != L'\r' && c != L'\n') out.push_back(c);
    return out;
}

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
