// The icon code file's text (bmpk.txt): one character per reply of the user's own, a digit for
// its classification icon or a space for none, and the edits the reply editor makes to it.
#pragma once

#include <string>

#include "core/replies.h"

namespace replybar {

// Code of 0-based row `row`; a space past the string's end or for anything but a digit.
wchar_t iconCodeAt(const std::wstring& codes, int row);

// Edits of the icon code string at the editor's 1-based reply number k. A string shorter than
// the replies it should cover (edited by hand) is padded with spaces first, so that the edit
// lands at the reply's own position and no other reply's icon moves.
// A new reply number `replyCount` + 1: its code goes right after the first `replyCount`.
std::wstring appendIconCode(const std::wstring& codes, int replyCount, wchar_t code);
std::wstring replaceIconCode(const std::wstring& codes, int k, wchar_t code);
std::wstring removeIconCode(const std::wstring& codes, int k);

}  // namespace replybar
