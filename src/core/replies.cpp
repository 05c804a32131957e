#include "core/replies.h"

namespace replybar {

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

}  // namespace replybar
