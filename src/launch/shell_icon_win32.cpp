#include "launch/shell_icon_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace replybar::launch {

int shellIconSize() {
    SHFILEINFOW info{};
    const auto list = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"x.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                         SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON));
    int cx = 0, cy = 0;
    if (!list || !::ImageList_GetIconSize(list, &cx, &cy) || cx <= 0)
        cx = ::GetSystemMetrics(SM_CXSMICON);
    return std::clamp(cx, kShellIconSize, 256);
}

ShellIcon shellIconOf(const std::wstring& path, DWORD attributes) {
    SHFILEINFOW info{};
    // With SHGFI_USEFILEATTRIBUTES the icon comes from the name and type alone.
    const auto list = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(
        path.c_str(), attributes, &info, sizeof info,
        SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON));
    // Only the index into the system image list is used; the copy of the icon is not.
    if (info.hIcon) ::DestroyIcon(info.hIcon);
    return {list, list ? info.iIcon : -1};
}

void drawShellIcon(menu::Canvas& smallIcon, const ShellIcon& icon) {
    smallIcon.clear();
    // The system image list is shared by every process: never destroyed here.
    if (icon.list) ::ImageList_Draw(icon.list, icon.index, smallIcon.dc(), 0, 0, ILD_TRANSPARENT);
}

void drawIcon(menu::Canvas& smallIcon, HICON icon) {
    smallIcon.clear();
    ::DrawIconEx(smallIcon.dc(), 0, 0, icon, smallIcon.width(), smallIcon.height(), 0, nullptr,
                 DI_NORMAL);
}

void enlargeIcon(const menu::Canvas& smallIcon, menu::Canvas& enlargedIcon) {
    ::StretchBlt(enlargedIcon.dc(), 0, 0, enlargedIcon.width(), enlargedIcon.height(), smallIcon.dc(), 0, 0,
                 smallIcon.width(), smallIcon.height(), SRCCOPY);
}

}  // namespace replybar::launch
