// Paints the bar: the face with its four buttons in their pictures and, when open, the reply
// panel above it, through one off-screen bitmap so that nothing flickers.
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

    void paintPanel(HDC dc, const ReplyPanel& panel, const win::BarPictures& pictures);
    void paintTabs(HDC dc, const ReplyPanel& panel);
    void paintSearchLine(HDC dc, const ReplyPanel& panel, int width);
    void paintKeysNotice(HDC dc, const ReplyPanel& panel, int width);

    win::UniqueFont rowFont_;  // made at the first paint of the panel
    win::UniqueBitmap panelPicture_;
    PanelLook panelLook_;
    unsigned repliesVersion_ = 0;
};

}  // namespace replybar
