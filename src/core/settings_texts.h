// What the user reads about the settings: the hotkey, the send key, starting with Windows, the
// team library and the settings string, from the settings dialog and from the bar at start.
#pragma once

#include <string>

#include "core/key_settings.h"
#include "core/message_titles.h"
#include "core/settings.h"

namespace replybar::texts {

inline constexpr wchar_t kSettingsNotSaved[] =
    L"无法保存设置：工具条的位置、快速启动文件夹和主页没有保存。";
// A confirmation the registry refused: the values of that part stay as they were in use.
inline constexpr wchar_t kFolderAndHomeNotSaved[] =
    L"快速启动文件夹和主页没能保存到注册表，仍然使用原来的设置：\n";
inline constexpr wchar_t kKeySettingsNotSaved[] =
    L"快捷键和自动发送的按键没能保存到注册表，仍然使用原来的设置：\n";
inline constexpr wchar_t kStartNotSet[] = L"没能设置开机时自动启动快捷回复条：\n";
inline constexpr wchar_t kStartNotCleared[] = L"没能取消开机时自动启动快捷回复条：\n";

inline constexpr wchar_t kHotkeyInvalid[] =
    L"这个快捷键不能用。\n\n请在“呼出快捷回复”一栏中按住 Ctrl 或 Alt（可以再加 Shift），"
    L"再按一个字母、数字、功能键（F12 除外）或方向键。";

// The settings dialog's hotkey is owned by another program; the bar keeps `kept`.
inline std::wstring hotkeyTaken(const keys::Hotkey& wanted, const keys::Hotkey& kept) {
    return L"快捷键 " + keys::hotkeyText(wanted) + L" 已经被另一个程序占用，请换一个组合。\n\n" +
           L"快捷回复条仍然使用原来的快捷键 " + keys::hotkeyText(kept) + L"。";
}

// Once per start, when another program owns the hotkey: which combination, that everything else
// works by mouse, and where to choose another.
inline std::wstring hotkeyTakenAtStart(const keys::Hotkey& hotkey) {
    return L"快捷键 " + keys::hotkeyText(hotkey) +
           L" 已经被另一个程序占用，这次不能用它打开快捷回复；其他功能照常，都可以用鼠标操作。"
           L"\n\n要换一个快捷键：右键单击快捷回复条左边的三个按钮之一，"
           L"在“软件信息 及 设置”的“快捷键与启动”中选择，再点“确定 返回”。";
}

// A path on a mapped drive as the settings dialog shows it: with the share's own path, which is
// what is stored; the dialog reads the latter back from it.
inline constexpr wchar_t kBothFormsOpen[] = L"（即 ";
inline std::wstring teamLibraryBothForms(const std::wstring& drive, const std::wstring& share) {
    return drive + kBothFormsOpen + share + L"）";
}

inline constexpr wchar_t kTeamLibraryNotSaved[] =
    L"团队回复库的位置没能保存到注册表，仍然使用原来的位置：\n";
inline constexpr wchar_t kAgentNameNotSaved[] = L"“我的称呼”没能保存到注册表，仍然使用原来的称呼：\n";

// The settings dialog refuses a team library location: what is wrong with it, then what it
// may be.
inline std::wstring teamLibraryRefused(TeamLocation kind, const std::wstring& location) {
    const std::wstring quoted = L"“" + location + L"”";
    std::wstring what;
    switch (kind) {
        case TeamLocation::Relative:
            what =
                quoted + L"不是完整的位置：要从盘符（如 D:\\）或网络共享（\\\\服务器\\共享）写起。";
            break;
        case TeamLocation::Folder:
            what = quoted + L"是一个文件夹或共享，请选择其中的 CSV 文件。";
            break;
        case TeamLocation::BadCharacter:
            what = quoted + L"中有文件路径不能包含的字符（< > \" | ? * : 或控制字符）。";
            break;
        case TeamLocation::NoServer: what = quoted + L"缺少服务器名或共享名。"; break;
        default:
            what = quoted + L"既不是文件的路径，也不是以 http:// 或 https:// 开头的网址。";
            break;
    }
    return what +
           L"\n\n团队回复库可以是网络共享、同步文件夹中的 CSV 文件，例如 "
           L"\\\\服务器\\共享\\团队回复.csv 或 D:\\同步\\团队回复.csv，"
           L"也可以是 http:// 或 https:// 开头的网址。不用团队回复库时，请清空这一栏。";
}

// The team library's status while the bar has not read it yet.
inline constexpr wchar_t kTeamLibraryReading[] = L"正在读取…";

// Beside the start box, when it is not ticked although there is an entry.
inline constexpr wchar_t kStartDisabled[] = L"（已在任务管理器中禁用）";
inline std::wstring startIsOther(bool sameName, bool disabled, const std::wstring& program) {
    const std::wstring what = sameName ? L"另一个副本" : L"另一个程序";
    if (disabled) return L"（已在任务管理器中禁用的" + what + L"：" + program + L"）";
    return L"（开机时启动的是" + what + L"：" + program + L"）";
}

}  // namespace replybar::texts
