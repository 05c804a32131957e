#include "panel/panel_geometry.h"

#include <algorithm>
#include <array>
#include <cassert>

#include "core/replies.h"

namespace replybar {
namespace {

struct RowTops {
    int icon, text;
};

// clang-format off
constexpr std::array<RowTops, kReplyRows> kRowTops{{
    {0, 30},        {285, 345},     {570, 630},     {859, 900},     {1142, 1185},   // rows 0-4
    {1425, 1470},   {1708, 1755},   {1991, 2040},   {2274, 2310},   {2557, 2595},   // rows 5-9
    {2840, 2910},   {3123, 3165},   {3406, 3450},   {3689, 3720},   {3972, 4005},   // rows 10-14
    {4255, 4290},   {4538, 4575},   {4821, 4860},   {5104, 5130},   {5387, 5415},   // rows 15-19
    {5670, 5700},   {6000, 6030},   {6300, 6330},   {6570, 6600},   {6870, 6900},   // rows 20-24
    {7170, 7200},   {7470, 7500},   {7770, 7800},   {8070, 8100},   {8400, 8430},   // rows 25-29
    {8700, 8730},   {9000, 9030},   {9330, 9360},   {9630, 9660},   {9990, 10020},  // rows 30-34
    {10320, 10350}, {10650, 10680}, {10980, 11010}, {11280, 11310}, {11580, 11610}, // rows 35-39
    {11940, 11970},                                                                 // row 40
}};
// clang-format on

const RowTops& topsOf(int row) {
    assert(row >= 0 && row < kReplyRows);
    return kRowTops[static_cast<std::size_t>(std::clamp(row, 0, kReplyRows - 1))];
}

}  // namespace

int rowIconTop(int row) { return topsOf(row).icon; }
int rowTextTop(int row) { return topsOf(row).text; }
int rowTextHeight(int row) { return row == kTallTextRow ? kTallTextHeight : kRowTextHeight; }
int rowTextBottom(int row) { return rowTextTop(row) + rowTextHeight(row); }

TwipRect rowIconRect(int row) {
    return {kRowIconLeft, rowIconTop(row), kRowIconSize, kRowIconSize};
}
TwipRect rowTextRect(int row) {
    return {kRowTextLeft, rowTextTop(row), kRowTextWidth, rowTextHeight(row)};
}

int highlightBandTop(int row) { return rowIconTop(row) - kHighlightBandAboveIcon; }

namespace {

int perColumn(int rowsPerColumn) { return std::clamp(rowsPerColumn, 1, kReplyRows); }

TwipRect inColumn(TwipRect r, int row, int rowsPerColumn) {
    r.left += row / perColumn(rowsPerColumn) * kPanelWidth;
    return r;
}

}  // namespace

TwipRect rowIconRect(int row, int rowsPerColumn) {
    return inColumn(rowIconRect(row % perColumn(rowsPerColumn)), row, rowsPerColumn);
}

TwipRect rowTextRect(int row, int rowsPerColumn) {
    return inColumn(rowTextRect(row % perColumn(rowsPerColumn)), row, rowsPerColumn);
}

TwipRect highlightBand(int row, int rowsPerColumn, int panelWidth) {
    const int slot = row % perColumn(rowsPerColumn);
    return inColumn({kHighlightBandLeft, highlightBandTop(slot), panelWidth, kHighlightBandHeight},
                    row, rowsPerColumn);
}

int columnsFor(int replyCount, int rowsPerColumn) {
    const int rows = std::clamp(replyCount, 0, kReplyRows);
    return std::max(1, (rows + perColumn(rowsPerColumn) - 1) / perColumn(rowsPerColumn));
}

PanelSize panelSizeFor(int replyCount) { return panelSizeFor(replyCount, kReplyRowsPerColumn); }

PanelSize panelSizeFor(int replyCount, int rowsPerColumn) {
    if (replyCount <= 0) return {kBarFaceWidthTwips, 0};  // an empty panel takes the face's width
    const int rows = std::min(replyCount, kReplyRows);
    const int lastRow = std::min(rows, perColumn(rowsPerColumn)) - 1;
    return {kPanelWidth * columnsFor(rows, rowsPerColumn),
            rowTextBottom(lastRow) + kPanelBottomMargin};
}

RowHit hitTestRow(int x, int y, int replyCount, int rowsPerColumn) {
    const int rows = std::clamp(replyCount, 0, kReplyRows);
    for (int row = 0; row < rows; ++row) {
        if (rowTextRect(row, rowsPerColumn).contains(x, y)) return {row, RowPart::Text};
        if (rowIconRect(row, rowsPerColumn).contains(x, y)) return {row, RowPart::Icon};
    }
    return {};
}

}  // namespace replybar
