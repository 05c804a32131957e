// Paints the bar: the face with its four buttons in their pictures and, when open, the reply
// panel above it, from pictures drawn off screen, so that nothing flickers.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "bar/bar_controller.h"
#include "core/replies.h"
#include "win/handles.h"
#include "win/resources_win32.h"

namespace replybar {

class BarPainter {
public:
    void paint(HWND bar, const BarController& controller,
               const win::BarPictures& pictures);
    // The replies (or the system's colours) changed: the panel is drawn anew at its next showing.
    void repliesChanged() { ++repliesVersion_; }

private:
    // Everything the panel's picture depends on.
    struct PanelLook {
        int width = 0, height = 0, rows = 0, rowsPerColumn = 0, group = 0, page = 0;
        std::optional<PxRect> band;
        std::wstring keys;  // the rows' key labels and the keys held elsewhere
        std::wstring query;  // the search's letters
        unsigned repliesVersion = 0;
        bool operator==(const PanelLook&) const = default;
    };

    // Everything the open window's picture depends on besides the panel's: where the face is
    // and its buttons' pictures.
    struct WindowLook {
        int width = 0, height = 0;
        PxRect panel;
        PxPoint face;
        int buttons[win::kButtonCount] = {};
        unsigned panelDrawn = 0;
        bool operator==(const WindowLook&) const = default;
    };

    void paintFace(HDC dc, const BarController& controller, const win::BarPictures& pictures);
    void paintPanel(HDC dc, const ReplyPanel& panel, const win::BarPictures& pictures);
    void paintTabs(HDC dc, const ReplyPanel& panel);
    void paintSearchLine(HDC dc, const ReplyPanel& panel, int width);
    void paintKeysNotice(HDC dc, const ReplyPanel& panel, int width);

    win::UniqueFont rowFont_;  // made at the first paint of the panel
    win::UniqueBitmap panelPicture_;
    PanelLook panelLook_;
    unsigned panelDrawn_ = 0;  // how many times the panel's picture was drawn
    win::UniqueBitmap windowPicture_;  // the panel and the face: the open window in one copy
    WindowLook windowLook_;
    unsigned repliesVersion_ = 0;
};

}  // namespace replybar
