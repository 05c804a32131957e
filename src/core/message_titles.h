// The titles the program's message boxes carry: its own name, and the plain "提示" of the reply
// editor's notices and of the word that a pick's keys did not all go out.
#pragma once

namespace replybar::texts {

inline constexpr wchar_t kMessageTitle[] = L"快捷回复条";
inline constexpr wchar_t kNoticeTitle[] = L"提示";

}  // namespace replybar::texts
