// Measuring and drawing of the owner-drawn menu items, as arithmetic and a list of drawing
// steps. The Win32 side answers WM_MEASUREITEM from measureMenuItem and executes the steps of
// planDrawItem in order on the item's DC; every step makes and frees its own pen or brush, so
// nothing outlives one WM_DRAWITEM.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "controls/menu_model.h"
#include "core/geometry.h"

namespace replybar::menu {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    Colorref colorref() const { return rgb(red, green, blue); }
    bool operator==(const Rgb&) const = default;
};

// Per channel floor(t × (end − start)) + start, all in doubles. t < 1 keeps every channel
// inside 0..255; the last line of a gradient never reaches the end colour.
Rgb gradient(double t, Colorref start, Colorref end);

// Round to nearest, halves to even, whatever the FPU rounding mode; saturates to int.
int roundHalfEven(double value);

// The size item icons are drawn at: the system's small icon size (16 at 96 DPI, 24 at 144, 32
// at 192, where the rows grow too), never taller than a row leaves room for. 16 when the
// system gives no size.
constexpr int kMenuIconSize96 = 16;
int menuIconSize(int smallIconSize, int cyMenu);

// Width from the text's ANSI (GBK) byte count, not from font metrics: cyMenu / 2.5 × n + W, and
// what an icon larger than 16 px takes from the text.
int measureItemWidth(std::size_t gbkByteLength, int cyMenu, int leftBarWidth,
                     int iconSize = kMenuIconSize96);
int measureItemHeight(std::int32_t itemType, int cyMenu);
// Height of the whole menu (the left bar's length) from the item types in menu order.
int totalMenuHeight(const std::vector<std::int32_t>& itemTypesInMenuOrder, int cyMenu);

// A menu taller than the screen scrolls with arrows that a bar without the focus cannot use
// (the pointer on an arrow counts as outside, and the wheel goes elsewhere): it opens in columns
// instead. The positions, in menu order, of the items that start a new column so that no column
// is taller than `available`; an item taller than that still gets a column of its own.
std::vector<std::size_t> menuColumnStarts(const std::vector<int>& itemHeights, int available);

// Where a menu opens. At the point when it fits below or above it (the system
// flips it up there). A menu that fits neither way would be pushed over the rectangle that opened
// it (the bar, with the pointer resting on its button): it goes beside that rectangle instead,
// on the side where its columns can be widest, laid out for that side's height.
enum class MenuSide { AtPoint, Above, Below, Left, Right };
struct MenuPlacement {
    MenuSide side = MenuSide::AtPoint;
    PxRect area;                      // where the whole menu goes
    std::vector<std::size_t> starts;  // menuColumnStarts for that area
    int columnWidth = 0;              // the widest a column's items may be; 0 at the point
};
// `frame`: the menu window's own height beyond its items. Each column takes its width's share
// of the area less kMenuColumnMargin (the system's margins and the bar between columns).
inline constexpr int kMenuColumnMargin = 32;
MenuPlacement placeMenu(const std::vector<int>& itemHeights, const PxRect& work, int openY,
                        const PxRect& keepFree, int frame);

struct ItemSize {
    int width = 0;
    int height = 0;
};
constexpr std::uint32_t kOdtMenu = 1;
// WM_MEASUREITEM. nullopt: not a menu request, leave it unchanged. `gbkByteLength` is the byte
// length of the record's text (0 when the id has no record; such an item measures as empty).
// No item is wider than `maxWidth` (half the screen): a longer caption is cut with an ellipsis.
std::optional<ItemSize> measureMenuItem(std::uint32_t ctlType, std::uint32_t itemId,
                                        const MenuModel& model, std::size_t gbkByteLength,
                                        int cyMenu, int maxWidth = INT_MAX,
                                        int iconSize = kMenuIconSize96);

// Item geometry. ix is the icon column's left edge; the icon box is the icon and 4 px, the text
// starts 7 px after the icon's size.
struct IconRows {
    int iy = 0;       // the icon
    int iyPlus = 0;   // its shadow (icon style 3)
    int iyMinus = 0;  // the icon lifted above the shadow
};
IconRows iconRows(const PxRect& rc, int iconSize = kMenuIconSize96);
int iconColumn(const MenuAppearance& look, const PxRect& rc);
PxRect iconBox(int ix, const PxRect& rc, int iconSize = kMenuIconSize96);
PxRect textRect(int ix, const PxRect& rc, int iconSize = kMenuIconSize96);
// The highlight before its border is drawn. Items without icon and check items start it at the
// icon column unless ItemSelectScope is exactly 4.
PxRect selectionRect(const MenuAppearance& look, const PxRect& rc, int ix, bool hasIcon,
                     bool isCheckItem, int iconSize = kMenuIconSize96);

// DrawEdge arguments.
constexpr unsigned kBdrSunkenOuter = 0x2;
constexpr unsigned kBdrRaisedInner = 0x4;
constexpr unsigned kEdgeEtched = 0x6;
constexpr unsigned kBfTop = 0x2;
constexpr unsigned kBfRect = 0xF;

// The drawing steps. Colours are COLORREF; pen styles are PS_ values 0-4.
struct SetBkModeTransparentOp {
    bool operator==(const SetBkModeTransparentOp&) const = default;
};
struct FillRectOp {  // FillRect with a solid brush
    PxRect rect;
    Colorref color = 0;
    bool operator==(const FillRectOp&) const = default;
};
struct LineOp {  // solid pen of width 1, MoveToEx + LineTo (end point not painted)
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Colorref color = 0;
    bool operator==(const LineOp&) const = default;
};
struct RectangleOp {  // Rectangle with a width-0 pen and a solid brush
    PxRect rect;
    int penStyle = 0;
    Colorref penColor = 0;
    Colorref brushColor = 0;
    bool operator==(const RectangleOp&) const = default;
};
struct DrawEdgeOp {
    PxRect rect;
    unsigned edge = 0;
    unsigned flags = 0;
    bool operator==(const DrawEdgeOp&) const = default;
};
struct TextOp {  // SetTextColor, then DrawText with DT_SINGLELINE | DT_VCENTER
    PxRect rect;
    std::wstring text;
    Colorref color = 0;
    bool operator==(const TextOp&) const = default;
};
struct IconOp {  // DrawIconEx size × size, DI_NORMAL
    int x = 0, y = 0;
    std::uintptr_t icon = 0;
    int size = kMenuIconSize96;
    bool operator==(const IconOp&) const = default;
};
struct IconDisabledOp {  // DrawState DST_ICON | DSS_DISABLED, size × size
    int x = 0, y = 0;
    std::uintptr_t icon = 0;
    int size = kMenuIconSize96;
    bool operator==(const IconDisabledOp&) const = default;
};
struct IconShadowOp {  // DrawState DST_ICON | DSS_MONO with a solid brush of kShadowColor
    static constexpr Colorref kShadowColor = rgb(128, 128, 128);
    int x = 0, y = 0;
    std::uintptr_t icon = 0;
    int size = kMenuIconSize96;
    bool operator==(const IconShadowOp&) const = default;
};
struct BarImageOp {  // BitBlt SRCCOPY of width × height from the bitmap's (0,0) to (0,0)
    int width = 0, height = 0;
    std::uintptr_t bitmap = 0;
    bool operator==(const BarImageOp&) const = default;
};

using DrawOp = std::variant<SetBkModeTransparentOp, FillRectOp, LineOp, RectangleOp, DrawEdgeOp,
                            TextOp, IconOp, IconDisabledOp, IconShadowOp, BarImageOp>;

struct DrawPlan {
    std::vector<DrawOp> ops;
    // An item was drawn unselected: the pointer has left it. The bar starts the close countdown.
    bool markPointerLeft = false;
};

constexpr std::uint32_t kOdsSelected = 1;

// WM_DRAWITEM, from the DRAWITEMSTRUCT's fields.
struct DrawRequest {
    std::uint32_t ctlType = 0;
    std::uint32_t itemId = 0;
    std::uint32_t itemState = 0;  // ODS_ bits
    PxRect rc;
    // GetMenuItemID of every position, in menu order; the left bar spans all of them.
    std::vector<std::uint32_t> menuItemIds;
};

// Empty plan when the request is not for a menu or names an item that has no record. Icons are
// drawn at `iconSize` (menuIconSize).
DrawPlan planDrawItem(const DrawRequest& request, const MenuModel& model, int cyMenu,
                      int iconSize = kMenuIconSize96);

}  // namespace replybar::menu
