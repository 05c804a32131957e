// What the pointer is over on the bar's window, and which button it uses: the vocabulary the
// window adapter, the bar face's rules and the panel's share.
#pragma once

namespace replybar {

enum class MouseButton { Left, Right, Middle };

// A control of the bar under the pointer, as the window adapter found it.
struct Target {
    enum Kind { None, DragStrip, Button, RowText, RowIcon, PanelBackground, Tab } kind = None;
    // The button, the row, or the tab (-1: the strip between tabs, the search line, the line
    // naming keys another program holds).
    int index = 0;
    bool operator==(const Target&) const = default;
};

}  // namespace replybar
