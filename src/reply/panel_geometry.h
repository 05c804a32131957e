// Where the reply panel's rows lie, in twips relative to the panel's top-left corner. The tops
// are not evenly spaced; they are the rows' long-standing positions and are kept as data.
#pragma once

namespace replybar {

struct TwipRect {
    int left, top, width, height;
    bool contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

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
constexpr int kPanelBottomMargin = 60;
constexpr int kBarFaceWidth = 1545;  // an empty panel takes the bar face's width

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

// The panel holding `replyCount` rows.
PanelSize panelSizeFor(int replyCount);

enum class RowPart { None, Text, Icon };
struct RowHit {
    int row = -1;
    RowPart part = RowPart::None;
};
// The row (below `replyCount`) whose text or icon lies under a point of the panel.
RowHit hitTestRow(int x, int y, int replyCount);

}  // namespace replybar
