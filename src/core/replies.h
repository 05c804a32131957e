// One canned reply as the bar holds it, the agent's own replies as the store reads them, a
// group of the team's as the panel shows it, and the small text rules around them: the one-line
// row caption and the classification icon of a code.
#pragma once

#include <string>
#include <vector>

namespace replybar {

// One canned reply as the bar holds it.
struct Reply {
    std::wstring fullText;     // what a pick pastes; may hold CR LF
    std::wstring displayText;  // the row's one-line caption, ending with U+3000
    wchar_t iconCode = L' ';   // digit of its classification icon, space for none
    int icon = -1;             // classification icon index 0-9, -1 for none
};

constexpr int kReplyRows = 41;  // rows of the panel, and so the most replies the bar holds

// The replies the bar shows, as the reply store reads them: what each row pastes and its icon,
// and whether a pick also sends. The store returns it whole; the reply editor changes it only
// after the store has written the change, so it always says what the files say.
struct Replies {
    std::vector<Reply> rows;  // at most kReplyRows, the panel's first row first
    // The icon code file's text as it was read or last written. Kept whole, so that characters
    // the bar does not know (a hand edit) survive an edit of another reply.
    std::wstring iconCodes;
    bool autoSend = false;  // also send the send key after a pasted reply
    int count() const { return static_cast<int>(rows.size()); }
};

// One group of the team library as the panel shows it: read only, any number of replies up to
// the library's limit.
struct ReplyGroup {
    std::wstring name;
    std::vector<Reply> rows;
};

// `fullText` without CR, each LF and each tab turned into one space, then U+3000.
std::wstring displayTextOf(const std::wstring& fullText);
// Classification icon of a code: a digit gives 0-9, anything else -1.
int iconIndexOf(wchar_t code);
// Text and caption together, so they never disagree.
void setReplyText(Reply& reply, const std::wstring& fullText);
// A code that is not a digit leaves the reply without an icon (and stored as a space).
void setReplyIcon(Reply& reply, wchar_t code);

std::wstring withoutLineBreaks(const std::wstring& text);

}  // namespace replybar
