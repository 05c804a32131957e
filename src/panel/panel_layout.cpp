#include "panel/panel_layout.h"

#include <algorithm>

namespace replybar {

namespace {

// The panel with its top-left corner at `panelLeft`, `panelTop` on the screen, beside the face.
PanelLayout place(const PxRect& face, int panelLeft, int panelTop, const PanelSize& size,
                  int rowsPerColumn, bool below) {
    const int w = twipsToPixels(size.width), h = twipsToPixels(size.height);
    PanelLayout l;
    l.rowsPerColumn = rowsPerColumn;
    l.size = size;
    l.below = below;
    l.window = {std::min(face.left, panelLeft), std::min(face.top, panelTop),
                std::max(face.right, panelLeft + w), std::max(face.bottom, panelTop + h)};
    const int x = l.window.left, y = l.window.top;
    l.panel = {panelLeft - x, panelTop - y, panelLeft - x + w, panelTop - y + h};
    l.face = {face.left - x, face.top - y, face.right - x, face.bottom - y};
    return l;
}

}  // namespace

PanelLayout layoutReplyPanel(const PxRect& face, int rows, const PanelSize& size,
                             const PxRect& monitor, int topStripPx) {
    PanelLayout fallback;
    for (int columns = 1;; ++columns) {
        const int perColumn = (rows + columns - 1) / std::max(columns, 1);
        PanelSize s = columns == 1 ? size : panelSizeFor(rows, std::max(perColumn, 1));
        if (topStripPx > 0) {
            s.width = std::max(s.width, size.width);
            s.height += topStripPx * kTwipsPerPixel;
        }
        const int w = twipsToPixels(s.width), h = twipsToPixels(s.height);
        // Never past the monitor's right edge, nor its left one.
        const int left = std::max(monitor.left, std::min(face.left, monitor.right - w));
        const int rowsPer = columns == 1 ? kReplyRowsPerColumn : perColumn;
        if (face.top - h >= monitor.top) return place(face, left, face.top - h, s, rowsPer, false);
        if (face.bottom + h <= monitor.bottom)
            return place(face, left, face.bottom, s, rowsPer, true);
        // Where there is more room, for a monitor too small for any number of columns.
        const bool below = monitor.bottom - face.bottom > face.top - monitor.top;
        fallback = place(face, left, below ? face.bottom : face.top - h, s, rowsPer, below);
        if (columns >= rows || w + twipsToPixels(kPanelWidth) > monitor.right - monitor.left)
            return fallback;
    }
}

std::vector<PxRect> panelRegion(const PanelLayout& l) {
    const PxRect& p = l.panel;
    const PxRect& f = l.face;
    return {{p.left, p.top, p.right + 1, p.bottom + 1},
            {f.left, f.top, f.left + kBarFaceWidthPx + 1, f.top + kBarFaceHeightPx + 15}};
}

}  // namespace replybar
