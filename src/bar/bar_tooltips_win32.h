// The bar's tooltips: the names of the Show Desktop and home page buttons, and each reply row's
// whole text while the panel is open.
#pragma once

#include <windows.h>

#include "bar/bar_controller.h"
#include "core/replies.h"

namespace replybar {

class BarTooltips {
public:
    BarTooltips() = default;
    BarTooltips(const BarTooltips&) = delete;
    BarTooltips& operator=(const BarTooltips&) = delete;

    void create(HWND bar);
    // The replies changed: the next update sends every row's text again.
    void markStale() { stale_ = true; }
    // Tool rectangles follow the bar face and the rows; rows beyond the panel get none. Nothing
    // is sent to the tooltips unless the panel's place or the replies changed since last time.
    void update(const ReplyPanel& panel);

private:
    struct Layout {
        bool open = false;
        PxPoint face;
        PxRect panel;
        int rows = 0, rowsPerColumn = 0;
        int group = 0, page = 0, strip = 0;  // the group and page shown, below the tabs
        std::wstring query;                  // the search whose results are the rows
        bool operator==(const Layout&) const = default;
    };
    void updateTabs(const ReplyPanel& panel);

    HWND bar_ = nullptr;
    HWND tips_ = nullptr;  // owned by the bar, destroyed with it
    Layout layout_;
    bool stale_ = true;
};

}  // namespace replybar
