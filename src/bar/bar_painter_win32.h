// Paints the bar: the face with its four buttons in their pictures and, when open, the reply
// panel above it, through one off-screen bitmap so that nothing flickers.
#pragma once

#include <windows.h>

#include "bar/bar_controller.h"
#include "reply/reply_table.h"
#include "win/handles.h"
#include "win/resources_win32.h"

namespace replybar {

class BarPainter {
public:
    void paint(HWND bar, const BarController& controller, const ReplyTable& replies,
               const win::BarPictures& pictures);

private:
    void paintPanel(HDC dc, const BarController& controller, const ReplyTable& replies,
                    const win::BarPictures& pictures);

    win::UniqueFont rowFont_;  // made at the first paint of the panel
};

}  // namespace replybar
