#include "panel/panel_layout.h"

#include <gtest/gtest.h>

#include "panel/panel_geometry.h"

namespace replybar {
namespace {

// Above the bar when it fits; else below; a panel too tall for either in
// columns; never past the monitor's side. Every row stays on the bar's monitor.
TEST(PanelLayout, AboveBelowOrInColumnsAlwaysOnTheMonitor) {
    const PxRect screen{0, 0, 1280, 800}, small{0, 0, 1366, 768};
    const struct {
        PxRect face;
        int rows;
        PxRect monitor;
        PxRect window, panel, face_;
        int perColumn;
    } cases[] = {
        {{159, 771, 262, 800},
         6,
         screen,
         {159, 657, 546, 800},
         {0, 0, 387, 114},
         {0, 114, 103, 143},
         41},
        {{159, 0, 262, 29}, 6, screen, {159, 0, 546, 143}, {0, 29, 387, 143}, {0, 0, 103, 29}, 41},
        {{1250, 771, 1353, 800},
         6,
         screen,
         {893, 657, 1353, 800},
         {0, 0, 387, 114},
         {357, 114, 460, 143},
         41},
        {{159, 771, 262, 800},
         41,
         screen,
         {159, 375, 933, 800},
         {0, 0, 774, 396},
         {0, 396, 103, 425},
         21},
        {{159, 370, 262, 399},
         41,
         small,
         {159, 106, 1320, 399},
         {0, 0, 1161, 264},
         {0, 264, 103, 293},
         14},
    };
    for (const auto& c : cases) {
        const PanelLayout l = layoutReplyPanel(c.face, c.rows, panelSizeFor(c.rows), c.monitor);
        EXPECT_EQ(l.window, c.window) << c.face.left << "," << c.face.top << " " << c.rows;
        EXPECT_EQ(l.panel, c.panel) << c.face.top << " " << c.rows;
        EXPECT_EQ(l.face, c.face_) << c.face.top << " " << c.rows;
        EXPECT_EQ(l.rowsPerColumn, c.perColumn) << c.rows;
    }
}

}  // namespace
}  // namespace replybar
