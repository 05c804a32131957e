// The pictures stored with the program, loaded once.
#pragma once

#include <windows.h>

#include <array>

#include "win/handles.h"

namespace replybar::win {

enum class ButtonPicture { Normal = 0, Hover = 1, Pressed = 2 };
enum BarButton { kDesktop = 0, kHome = 1, kLaunch = 2, kReply = 3, kButtonCount = 4 };

struct BarPictures {
    UniqueBitmap skin;
    std::array<std::array<UniqueBitmap, 3>, kButtonCount> buttons;  // [button][picture]
    HCURSOR dragCursor = nullptr;                                   // shared resource cursor
    std::array<UniqueIcon, 10> classIcons;                          // 16 x 16

    // What the bar's first paint needs: the face and the buttons.
    void loadFace();
    // The rest: the drag strip's cursor and the classification icons.
    void loadRest();
};

// Draws a bitmap at (x, y) in its own size.
void drawBitmap(HDC dc, HBITMAP bmp, int x, int y);

}  // namespace replybar::win
