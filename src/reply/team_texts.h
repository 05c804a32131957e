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

// Why the source could not be read: the reason teamUnreachable shows.
inline constexpr wchar_t kSourceNoAnswer[] = L"无响应";
inline constexpr wchar_t kSourceFileMissing[] = L"找不到文件";
inline constexpr wchar_t kSourceAccessDenied[] = L"拒绝访问";
inline constexpr wchar_t kSourceFileBusy[] = L"文件被占用";
inline constexpr wchar_t kSourceIsFolder[] = L"这是文件夹，不是文件";
inline constexpr wchar_t kSourceShareMissing[] = L"找不到共享文件夹";
inline constexpr wchar_t kSourceNetworkDown[] = L"网络不通";
inline constexpr wchar_t kSourceNotFetched[] = L"同步客户端未能取回文件";
inline constexpr wchar_t kSourceBadAddress[] = L"地址无效";
inline constexpr wchar_t kSourceNoServer[] = L"找不到服务器";
inline constexpr wchar_t kSourceCannotConnect[] = L"无法连接服务器";
inline constexpr wchar_t kSourceConnectionLost[] = L"连接中断";
inline constexpr wchar_t kSourceInsecure[] = L"安全连接失败";
inline std::wstring sourceServerStatus(unsigned long status) {
    return L"服务器返回 " + std::to_wstring(status);
}
inline std::wstring sourceErrorCode(unsigned long code) {
    return L"错误代码 " + std::to_wstring(code);
}

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
