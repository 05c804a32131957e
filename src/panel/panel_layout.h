// Where the open reply panel goes: above the bar as it always opened when it fits there, else
// below it, and a panel too tall for either in as many columns as it takes. Every row ends up on
// the bar's monitor, so every reply can be reached.
#pragma once

#include <vector>

#include "core/geometry.h"
#include "panel/panel_geometry.h"

namespace replybar {

struct PanelLayout {
    int rowsPerColumn = kReplyRowsPerColumn;
    PanelSize size{0, 0};  // the panel, twips
    PxRect panel;          // in the window, pixels
    PxRect face;           // the bar face in the window, pixels
    PxRect window;         // on the screen, pixels
    bool below = false;
};

// The panel of `rows` replies for the bar face at `face` on `monitor` (screen pixels). `size`
// is the one-column panel as the replies make it.
// `topStripPx` more at the panel's top hold the group tabs.
PanelLayout layoutReplyPanel(const PxRect& face, int rows, const PanelSize& size,
                             const PxRect& monitor, int topStripPx = 0);

// The window's shape for a layout: the union of CreateRoundRectRgn(l, t, r, b, 0, 0) of each.
std::vector<PxRect> panelRegion(const PanelLayout& layout);

}  // namespace replybar
