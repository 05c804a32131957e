// What the user reads of the team library: why a file was refused, the settings frame's status
// line, and the reply editor's export and import (its failures to write or read a file under
// kMessageTitle, the rest under kNoticeTitle, core/message_titles.h).
#pragma once

#include <string>

#include "core/message_titles.h"

namespace replybar::texts {

// Why a team file was refused: short, the status line shows them.
inline constexpr wchar_t kCsvTooLarge[] = L"文件超过 2 MB";
inline constexpr wchar_t kCsvEmpty[] = L"文件是空的";
inline constexpr wchar_t kCsvNoReplies[] = L"文件里没有回复";
inline constexpr wchar_t kCsvNoReplyColumn[] = L"缺少“回复”列";
inline constexpr wchar_t kCsvNoGroupColumn[] = L"缺少“分组”列";
inline constexpr wchar_t kCsvUnclosedQuote[] = L"引号未闭合";
inline constexpr wchar_t kCsvMisplacedQuote[] = L"引号位置不对";
inline constexpr wchar_t kCsvTooManyFields[] = L"列数多于标题行";
inline constexpr wchar_t kCsvBadIcon[] = L"图标只能是 0–9 或空";
inline constexpr wchar_t kCsvTooManyReplies[] = L"回复超过 2000 条";
inline std::wstring csvRepeatedColumn(const std::wstring& name) { return L"“" + name + L"”列重复"; }
// The line it names is the first in the other encoding.
inline std::wstring csvEncodingChanged(bool toUtf8) {
    return std::wstring(L"此行起换了编码（") + (toUtf8 ? L"UTF-8" : L"GBK") + L"）";
}

// The status line of the team library.
inline constexpr wchar_t kTeamReading[] = L"正在读取…";
// `when` is "今天 12:05" or "12月7日 12:05".
inline std::wstring teamUpToDate(int replies, const std::wstring& when) {
    return L"团队回复 " + std::to_wstring(replies) + L" 条 · " + when + L" 更新";
}
// `reason` is why the source could not be read (below), `day` "今天" or "12月7日".
inline std::wstring teamOffline(const std::wstring& reason, const std::wstring& day) {
    return L"离线（" + reason + L"）· 使用 " + day + L" 的副本";
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
// The errors of sync clients' placeholders (winerror.h's ERROR_CLOUD_FILE_… and its
// neighbours), each by its meaning; nullptr for a code that is none of them.
inline const wchar_t* cloudFileError(unsigned long code) {
    switch (code) {
        case 358: return L"同步文件夹的记录已损坏";              // SYNC_ROOT_METADATA_CORRUPT
        case 362: return L"同步客户端没有运行";                  // PROVIDER_NOT_RUNNING
        case 363: return L"文件的同步记录已损坏";                // METADATA_CORRUPT
        case 364: return L"文件的同步记录过大";                  // METADATA_TOO_LARGE
        case 365: return L"文件的同步属性过大";                  // PROPERTY_BLOB_TOO_LARGE
        case 366: return L"文件的同步属性校验不符";              // PROPERTY_BLOB_CHECKSUM_MISMATCH
        case 374: return L"文件的同步属性过多";                  // TOO_MANY_PROPERTY_BLOBS
        case 375: return L"同步属性的版本不受支持";              // PROPERTY_VERSION_NOT_SUPPORTED
        case 376: return L"这不是同步客户端的文件";              // NOT_A_CLOUD_FILE
        case 377: return L"文件尚未同步完成";                    // NOT_IN_SYNC
        case 378: return L"同步文件夹已由另一个同步客户端连接";  // ALREADY_CONNECTED
        case 379: return L"同步客户端不支持此操作";              // NOT_SUPPORTED
        case 380: return L"同步客户端拒绝了请求";                // INVALID_REQUEST
        case 381: return L"同步文件夹所在的盘是只读的";          // READ_ONLY_VOLUME
        case 382: return L"只有已连接的同步客户端能取回";        // CONNECTED_PROVIDER_ONLY
        case 383: return L"同步客户端未能验证文件";              // VALIDATION_FAILED
        case 386: return L"同步客户端登录失败";                  // AUTHENTICATION_FAILED
        case 387: return L"同步客户端资源不足";                  // INSUFFICIENT_RESOURCES
        case 388: return L"同步客户端连不上网络";                // NETWORK_UNAVAILABLE
        case 389: return L"同步客户端未能取回文件";              // UNSUCCESSFUL
        case 390: return L"文件不在同步文件夹中";                // NOT_UNDER_SYNC_ROOT
        case 391: return L"同步客户端正在使用文件";              // IN_USE
        case 392: return L"文件已固定，无法取回";                // PINNED
        case 393: return L"同步客户端中止了取回";                // REQUEST_ABORTED
        case 394: return L"文件的同步属性已损坏";                // PROPERTY_CORRUPT
        case 395: return L"同步客户端拒绝访问";                  // ACCESS_DENIED
        case 396: return L"文件有硬链接，无法同步";              // INCOMPATIBLE_HARDLINKS
        case 397: return L"文件的同步属性被锁定";                // PROPERTY_LOCK_CONFLICT
        case 398: return L"取回文件被取消";                      // REQUEST_CANCELED
        case 404: return L"同步客户端已退出";                    // PROVIDER_TERMINATED
    }
    return nullptr;
}
// ERROR_SMB1_NOT_AVAILABLE (384): a NAS that speaks only the old SMB1, which Windows switched off.
inline constexpr wchar_t kSourceNeedsSmb1[] = L"共享只支持旧的 SMB1 协议，本机已停用";
inline constexpr wchar_t kSourceBadAddress[] = L"地址无效";
inline constexpr wchar_t kSourceNoServer[] = L"找不到服务器";
inline constexpr wchar_t kSourceCannotConnect[] = L"无法连接服务器";
inline constexpr wchar_t kSourceConnectionLost[] = L"连接中断";
inline constexpr wchar_t kSourceInsecure[] = L"安全连接失败";
// A web read the watch stopped waiting for while the answer still comes in.
inline constexpr wchar_t kSourceStillReading[] = L"服务器很慢，仍在读取";
inline constexpr wchar_t kSourceTooSlow[] = L"下载太慢，2 分钟内没有读完";  // ReadDeadline's total
inline constexpr wchar_t kSourceSignInNeeded[] = L"服务器要求登录";
inline constexpr wchar_t kSourceProxySignInNeeded[] = L"代理服务器要求登录";
inline constexpr wchar_t kSourceTlsUpdateMissing[] = L"安全连接失败，需安装 Windows 更新 KB3140245";
inline constexpr wchar_t kSourceInsecureRedirect[] = L"服务器转到了不加密的 http 地址，已拒绝";
inline std::wstring sourceProxyUnreachable(const std::wstring& proxy) {
    return L"代理服务器 " + proxy + L" 连不上";
}
inline std::wstring sourceServerStatus(unsigned long status) {
    return L"服务器返回 " + std::to_wstring(status);
}
inline std::wstring sourceErrorCode(unsigned long code) {
    return L"错误代码 " + std::to_wstring(code);
}

// The reply editor's export: the agent's own replies as one group.
inline constexpr wchar_t kExportFileName[] = L"我的回复.csv";
inline constexpr wchar_t kOwnRepliesGroup[] = L"我的";
inline constexpr wchar_t kNothingToExport[] = L"还没有回复，没有可导出的内容。";
inline constexpr wchar_t kExportNeedsEveryFile[] =
    L"有回复的文件无法读取，导出的文件会缺少这条回复，所以没有导出。请稍后再试。";
inline std::wstring exported(int replies, const std::wstring& path) {
    return L"已导出 " + std::to_wstring(replies) + L" 条回复到：" + path;
}
inline std::wstring cannotExport(const std::wstring& path, const std::wstring& reason) {
    return L"无法导出到文件：\n" + path + L"\n\n" + reason;
}
// The file the replies would make could not be imported again (too large, say).
inline std::wstring exportWouldNotImport(const std::wstring& reason) {
    return L"这些回复写成的文件将无法再导入（" + reason + L"），所以没有导出。";
}
inline std::wstring exportWaitsForHidden(const std::wstring& firstHiddenFile) {
    return L"有回复暂时没有显示：文件\n" + firstHiddenFile +
           L"\n还不能移到它的位置（可能正被另一个程序使用）。\n\n"
           L"导出的文件会缺少这些回复，所以暂时不能导出。请稍后再试。";
}

// The reply editor's import.
inline constexpr wchar_t kImportWhileAdding[] =
    L"正在添加一条回复。请先点“修改确定”保存它，或点“取消添加”，然后再导入。";
inline std::wstring importUnreadable(const std::wstring& path) {
    return L"无法读取文件：\n" + path + L"\n\n没有导入任何回复。";
}
// A write failed (already told) after `added` replies; `left` of the file's were not imported.
inline std::wstring importStopped(int added, int left) {
    return L"导入因上面的错误停止：已导入 " + std::to_wstring(added) + L" 条回复，其余 " +
           std::to_wstring(left) + L" 条没有导入。";
}
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
