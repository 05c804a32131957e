#include "win/resources_win32.h"

#include "assets/resource_ids.h"

namespace replybar::win {

namespace {
HBITMAP loadBitmap(int id) {
    return static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}
}  // namespace

void BarPictures::loadFace() {
    skin.reset(loadBitmap(IDB_SKIN));
    const int first[kButtonCount] = {IDB_DESKTOP_NORMAL, IDB_HOME_NORMAL, IDB_LAUNCH_NORMAL,
                                     IDB_REPLY_NORMAL};
    for (int b = 0; b < kButtonCount; ++b)
        for (int k = 0; k < 3; ++k) buttons[b][k].reset(loadBitmap(first[b] + k));
}

void BarPictures::loadRest() {
    dragCursor = static_cast<HCURSOR>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_DRAG), IMAGE_CURSOR, 32, 32, LR_SHARED));
    for (int i = 0; i < 10; ++i)
        classIcons[i].reset(static_cast<HICON>(::LoadImageW(
            ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_CLASS0 + i), IMAGE_ICON, 16, 16, 0)));
}

void drawBitmap(HDC dc, HBITMAP bmp, int x, int y) {
    if (!bmp) return;
    BITMAP info{};
    ::GetObjectW(bmp, sizeof info, &info);
    UniqueDc mem(::CreateCompatibleDC(dc));
    SelectGuard sel(mem.get(), bmp);
    ::BitBlt(dc, x, y, info.bmWidth, info.bmHeight, mem.get(), 0, 0, SRCCOPY);
}

}  // namespace replybar::win
