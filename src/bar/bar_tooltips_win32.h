// The bar's tooltips: the names of the Show Desktop and home page buttons, and each reply row's
// whole text while the panel is open; of a reply with fields, how it would paste at the moment
// the tip shows.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "bar/bar_controller.h"
#include "core/replies.h"

namespace replybar {

class BarTooltips {
public:
    BarTooltips() = default;
    BarTooltips(const BarTooltips&) = delete;
    BarTooltips& operator=(const BarTooltips&) = delete;

    // `preview`: how a reply with fields would paste now.
    void create(HWND bar, std::function<std::wstring(const std::wstring&)> preview);
    // The replies changed: the next update sends every row's text again.
    void markStale() { stale_ = true; }
    // Tool rectangles follow the bar face and the rows; rows beyond the panel get none. Nothing
    // is sent to the tooltips unless the panel's place or the replies changed since last time.
    void update(const ReplyPanel& panel);
    // Any message of the bar: its mouse messages go on to the tips, for them to see where the
    // pointer rests.
    void relay(UINT msg, WPARAM wp, LPARAM lp);
    // The bar's WM_NOTIFY: a tip asks for its text as it shows. True when it was one of ours.
    bool notify(const NMHDR& header);

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

    std::function<std::wstring(const std::wstring&)> preview_;
    std::array<std::wstring, kReplyRows> rowReplies_;  // of the rows whose tip is made as it shows
    std::wstring shown_;  // the text of the tip made last
    HWND bar_ = nullptr;
    HWND tips_ = nullptr;  // owned by the bar, destroyed with it
    Layout layout_;
    bool stale_ = true;
};

}  // namespace replybar
