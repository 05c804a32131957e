// Where the reply panel's rows lie, in twips relative to the panel's top-left corner. The tops
// are not evenly spaced, so they are a table rather than a formula.
#pragma once

#include "core/geometry.h"

namespace replybar {

struct PanelSize {
    int width, height;
};

constexpr int kRowIconLeft = 60;
constexpr int kRowIconSize = 240;
constexpr int kRowTextLeft = 300;
constexpr int kRowTextWidth = 5520;
constexpr int kRowTextHeight = 180;
constexpr int kTallTextRow = 39;  // the one row whose label is taller
constexpr int kTallTextHeight = 240;

constexpr int kPanelWidth = 5805;
constexpr int kReplyRowsPerColumn = 41;  // one column holds every row the bar can have
constexpr int kPanelBottomMargin = 60;

constexpr int kHighlightBandHeight = 300;
constexpr int kHighlightBandLeft = -10;
constexpr int kHighlightBandAboveIcon = 20;  // the band's top sits this far above the row's icon
constexpr TwipRect kIconStrip{-90, 0, 465, 12525};  // the shaded band behind the icon column

// Rows are 0 to kReplyRows - 1; other values are a programming error.
int rowIconTop(int row);
int rowTextTop(int row);
int rowTextHeight(int row);
int rowTextBottom(int row);
TwipRect rowIconRect(int row);
TwipRect rowTextRect(int row);
int highlightBandTop(int row);

// A panel too tall for the screen shows its rows in columns side by side, `rowsPerColumn` in
// each: row r sits in column r / rowsPerColumn at the place of row r % rowsPerColumn, one panel
// width further right per column. With kReplyRows per column this is the single column above.
TwipRect rowIconRect(int row, int rowsPerColumn);
TwipRect rowTextRect(int row, int rowsPerColumn);
TwipRect highlightBand(int row, int rowsPerColumn, int panelWidth);  // the band under a row
int columnsFor(int replyCount, int rowsPerColumn);

// The panel holding `replyCount` rows.
PanelSize panelSizeFor(int replyCount);
PanelSize panelSizeFor(int replyCount, int rowsPerColumn);

enum class RowPart { None, Text, Icon };
struct RowHit {
    int row = -1;
    RowPart part = RowPart::None;
};
// The row (below `replyCount`) whose text or icon lies under a point of the panel.
RowHit hitTestRow(int x, int y, int replyCount, int rowsPerColumn = kReplyRowsPerColumn);

}  // namespace replybar
