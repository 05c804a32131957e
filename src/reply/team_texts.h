// What the user reads of the team library: why a file was refused, the settings frame's status
// line and the summary of an import (under kNoticeTitle, core/message_titles.h).
#pragma once

#include <string>

#include "core/message_titles.h"

namespace replybar::texts {

// Why a team file was refused: short, the status line shows them.
inline constexpr wchar_t kCsvTooLarge[] = L"文件超过 2 MB";
inline constexpr wchar_t kCsvEmpty[] = L"文件是空的";
inline constexpr wchar_t kCsvNoReplyColumn[] = L"缺少“回复”列";
inline constexpr wchar_t kCsvNoGroupColumn[] = L"缺少“分组”列";
inline constexpr wchar_t kCsvUnclosedQuote[] = L"引号未闭合";
inline constexpr wchar_t kCsvMisplacedQuote[] = L"引号位置不对";
inline constexpr wchar_t kCsvTooManyFields[] = L"列数多于标题行";
inline constexpr wchar_t kCsvBadIcon[] = L"图标只能是 0–9 或空";
inline constexpr wchar_t kCsvTooManyReplies[] = L"回复超过 2000 条";
inline std::wstring csvRepeatedColumn(const std::wstring& name) { return L"“" + name + L"”列重复"; }

// The status line of the team library.
inline constexpr wchar_t kTeamReading[] = L"正在读取…";
// `when` is "今天 12:05" or "12月7日 12:05".
inline std::wstring teamUpToDate(int replies, const std::wstring& when) {
    return L"团队回复 " + std::to_wstring(replies) + L" 条 · " + when + L" 更新";
}
// `day` is "今天" or "12月7日".
inline std::wstring teamOffline(const std::wstring& day) {
    return L"离线 · 使用 " + day + L" 的副本";
}
// `where` is "第 17 行", or the reason when the file as a whole was refused.
inline std::wstring teamFileFaulty(const std::wstring& where, bool lastVersionKept) {
    return L"文件有错误（" + where + L"）" + (lastVersionKept ? L"· 仍使用上一版" : L"");
}
inline std::wstring teamUnreachable(const std::wstring& reason) { return L"无法读取：" + reason; }

// The reply editor's import.
inline std::wstring importSummary(int added, int notFitting, int capacity) {
    if (added == 0 && notFitting == 0) return L"文件里没有回复，没有导入任何内容。";
    std::wstring text = L"已导入 " + std::to_wstring(added) + L" 条回复。";
    if (notFitting > 0)
        text += L"\n另有 " + std::to_wstring(notFitting) + L" 条因已满 " +
                std::to_wstring(capacity) + L" 条未导入。";
    return text;
}
inline std::wstring importRefused(int line, const std::wstring& reason) {
    const std::wstring where = line > 0 ? L"第 " + std::to_wstring(line) + L" 行：" : L"";
    return L"无法导入这个文件（" + where + reason + L"），没有导入任何回复。";
}

}  // namespace replybar::texts

namespace replybar::texts {

// A right click on a team reply: it cannot be changed, but it can become one of the user's own.
inline std::wstring copyTeamReplyQuestion(const std::wstring& displayText) {
    std::wstring shown = displayText.size() > 60 ? displayText.substr(0, 60) + L"…" : displayText;
    return L"团队回复不能在这里修改。\n要把它复制到“我的”回复中吗？\n\n" + shown;
}
inline constexpr wchar_t kCopyTeamReplyTitle[] = L"复制到我的回复";

}  // namespace replybar::texts
