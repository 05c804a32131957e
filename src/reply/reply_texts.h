// What the user reads of the replies: the messages of picking, editing and storing them. Each
// group names the title its messages carry (core/message_titles.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/message_titles.h"

namespace replybar::texts {

// A pick, under kMessageTitle (the keys-failed word under kNoticeTitle).
inline constexpr wchar_t kTargetElevated[] =
    L"当前窗口的程序是以管理员身份运行的，Windows 不允许快捷回复条向它发送按键，"
    L"所以这次没有粘贴。\n\n回复已复制到剪贴板，请按 Ctrl+V 手动粘贴；"
    L"或者以管理员身份运行快捷回复条。";
inline constexpr wchar_t kKeysFailed[] =
    L"按键没有全部送出，回复可能没有粘贴或发送到聊天窗口。\n请检查后重试。";
inline constexpr wchar_t kWindowChanged[] =
    L"点击回复之后，前台换成了另一个窗口，所以这次没有粘贴，也没有发送任何内容。"
    L"\n\n回复已复制到剪贴板，可以按 Ctrl+V 手动粘贴。";
inline constexpr wchar_t kEmptyReplyPicked[] =
    L"这条回复是空的（或者它的文件没能读取），所以这次没有粘贴，也没有发送任何内容。"
    L"\n\n可以右键点击“快捷回复”按钮，在“快捷回复设置”里修改它。";
inline constexpr wchar_t kPasteInDoubt[] =
    L"按下 Ctrl+V 时另一个程序正在使用剪贴板（或者前台窗口换了），回复可能没有粘贴上，"
    L"所以这次没有自动发送。\n\n请看一下聊天窗口：回复在，就自己发送；不在，可以再选一次这条回复。";
inline constexpr wchar_t kRemoteTarget[] =
    L"当前窗口是远程桌面或虚拟桌面的客户端：剪贴板要先传到远程电脑上，"
    L"所以快捷回复条会稍等片刻再粘贴，而且不会自动发送。请确认内容后自己发送。"
    L"\n\n（每次启动只提示一次。）";
// `holder` is the title or class of the window that has the clipboard open; "" when unknown.
inline std::wstring clipboardBusy(const std::wstring& holder) {
    const std::wstring who = holder.empty() ? L"另一个程序" : L"另一个程序（“" + holder + L"”）";
    return L"剪贴板正被" + who + L"占用，快捷回复条没能把回复放到剪贴板上。" +
           L"\n\n这次没有粘贴，也没有发送任何内容。请稍后再点一次这条回复。";
}

// The editor, under kNoticeTitle; the delete question under its own title.
inline constexpr wchar_t kNothingTyped[] = L"没有添加任何快捷回复信息！";
inline constexpr wchar_t kTableFull[] = L"最多只能保存41条快捷回复信息。";
inline constexpr wchar_t kDeleteQuestion[] = L"确认要删除此回复信息吗？";
inline constexpr wchar_t kDeleteTitle[] = L"删除确认";
inline std::wstring addingWaitsForHidden(const std::wstring& firstHiddenFile) {
    return L"有回复暂时没有显示：文件\n" + firstHiddenFile +
           L"\n还不能移到它的位置（可能正被另一个程序使用）。\n\n"
           L"现在添加的回复会排在这些回复前面，所以暂时不能添加。请稍后再试。";
}
inline std::wstring unreadableNotSaved(const std::wstring& path) {
    return L"无法读取文件：\n" + path +
           L"\n\n在它能够读取之前，修改不会保存，以免覆盖其中的内容。请稍后重新选择这条回复。";
}
inline std::wstring tooLongToEdit(std::size_t characters, const std::wstring& path) {
    return L"这条回复有 " + std::to_wstring(characters) +
           L" 个字，太长，无法在这里修改（可以删除它，或用记事本修改它的文件）：\n" + path;
}

// The store's failures, under kMessageTitle.
inline constexpr wchar_t kNoDataFolder[] = L"找不到应用程序数据文件夹，回复无法保存。";
inline std::wstring cannotRead(const std::vector<std::wstring>& paths) {
    std::wstring text = L"无法读取文件：";
    for (const std::wstring& path : paths) text += L"\n" + path;
    return text;
}
inline std::wstring cannotSave(const std::wstring& path, const std::wstring& reason) {
    return L"无法保存文件：\n" + path + L"\n\n" + reason;
}
inline std::wstring cannotDelete(const std::wstring& path, const std::wstring& reason) {
    return L"无法删除文件：\n" + path + L"\n\n" + reason;
}
inline std::wstring cannotRestore(const std::wstring& from, const std::wstring& to,
                                  const std::wstring& reason) {
    return L"无法恢复文件：\n" + from + L" → " + to + L"\n\n" + reason;
}
inline std::wstring replyFileExists(const std::wstring& path) {
    return L"无法添加回复：文件已存在：\n" + path +
           L"\n\n它是一条此前没有显示的回复，不会被覆盖。回复列表已重新载入，请再添加一次。";
}
// A renumbering that stopped at `from`; `reason` may be "" (a file that is not a normal file).
inline std::wstring renumberingStopped(const std::wstring& from, const std::wstring& to,
                                       const std::wstring& reason) {
    return L"无法重命名文件：\n" + from + L" → " + to + (reason.empty() ? L"" : L"\n\n" + reason) +
           L"\n\n其后的回复暂时不显示，但没有丢失：下次打开快捷回复设置或重新启动时会自动整理。";
}

// The search's line on the panel: the letters typed, and how to go back.
}  // namespace replybar::texts
