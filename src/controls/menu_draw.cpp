#include "controls/menu_draw.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

namespace replybar::menu {
namespace {

// Geometry is worked in 64 bits and clamped on the way out, so W near INT_MAX cannot overflow.
int clampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

int red(Colorref c) { return static_cast<int>(c & 255); }
int green(Colorref c) { return static_cast<int>((c >> 8) & 255); }
// Masked like the others: a system colour name (0x800000nn) would otherwise give 0x8000 here
// and spill into the high byte of the result.
int blue(Colorref c) { return static_cast<int>((c >> 16) & 255); }

int channel(double t, int start, int end) {
    const double v = std::floor(t * static_cast<double>(end - start)) + start;
    if (std::isnan(v)) return start;
    return static_cast<int>(
        std::clamp(v, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

bool isCheckItem(const MenuItem& r) { return r.itemType == kTypeRadioCheck; }
bool isChecked(const MenuItem& r) { return (r.itemState & kStateChecked) != 0; }

// Pen styles past dash-dot-dot have no look of their own; they draw solid.
int penStyle(std::int32_t style) { return style >= 0 && style <= 4 ? style : 0; }

void addIcon(DrawPlan& plan, long long x, int y, std::uintptr_t icon, int size) {
    if (icon != 0) plan.ops.push_back(IconOp{clampToInt(x), y, icon, size});
}

void planLeftBar(DrawPlan& plan, const MenuAppearance& a, int height, const PxRect& rc) {
    const long long w = a.leftBarWidth;
    switch (a.leftBarStyle) {
        case 1:
            plan.ops.push_back(FillRectOp{{0, 0, clampToInt(w - 1), clampToInt(height - 1LL)},
                                          a.leftBarStartColor});
            break;
        case 2: {
            // Columns right of the item lie outside the menu window; skip making them.
            const long long visible = std::min<long long>(w, std::max(rc.right, 0));
            for (long long x = 0; x < visible; ++x) {
                const double t = static_cast<double>(x) / static_cast<double>(w);
                plan.ops.push_back(
                    LineOp{clampToInt(x), 0, clampToInt(x), clampToInt(height - 1LL),
                           gradient(t, a.leftBarStartColor, a.leftBarEndColor).colorref()});
            }
            break;
        }
        case 3:
            for (int y = 0; y < height; ++y) {
                const double t = static_cast<double>(y) / static_cast<double>(height);
                plan.ops.push_back(
                    LineOp{0, y, clampToInt(w - 1), y,
                           gradient(t, a.leftBarStartColor, a.leftBarEndColor).colorref()});
            }
            break;
        case 4:
            if (const auto bitmap = pictureHandle(a.leftBarImage))
                plan.ops.push_back(BarImageOp{a.leftBarWidth, height, bitmap});
            break;
        default: break;
    }
}

void planSeparator(DrawPlan& plan, const MenuAppearance& a, const PxRect& rc) {
    const PxRect s{clampToInt(rc.left + a.leftBarWidth + 4LL), clampToInt(rc.top + 2LL), rc.right,
                   clampToInt(rc.top + 3LL)};
    if (a.separatorStyle == 5) return;
    if (a.separatorStyle == 6)
        plan.ops.push_back(DrawEdgeOp{s, kEdgeEtched, kBfTop});
    else
        plan.ops.push_back(
            RectangleOp{s, penStyle(a.separatorStyle), a.separatorColor, a.backColor});
}

void planSelectionFill(DrawPlan& plan, const MenuAppearance& a, const PxRect& s) {
    const Colorref from = a.itemSelectFillStartColor;
    const Colorref to = a.itemSelectFillEndColor;
    switch (a.itemSelectFillStyle) {
        case 1: plan.ops.push_back(RectangleOp{s, 0, from, from}); break;
        case 2: {
            const double span = static_cast<double>(s.right) - s.left + 1;
            for (long long x = s.left; x < s.right; ++x) {
                const double t = static_cast<double>(x - s.left) / span;
                plan.ops.push_back(LineOp{clampToInt(x), s.top, clampToInt(x), s.bottom,
                                          gradient(t, from, to).colorref()});
            }
            break;
        }
        case 3: {
            const double span = static_cast<double>(s.bottom) - s.top + 1;
            for (long long y = s.top; y < s.bottom; ++y) {
                const double t = static_cast<double>(y - s.top) / span;
                plan.ops.push_back(LineOp{s.left, clampToInt(y), s.right, clampToInt(y),
                                          gradient(t, from, to).colorref()});
            }
            break;
        }
        default: break;
    }
}

void planSelected(DrawPlan& plan, const MenuAppearance& a, const MenuItem& r, const PxRect& rc,
                  int ix, const IconRows& rows, const PxRect& text, int size) {
    const std::uintptr_t icon = pictureHandle(r.itemIcon);
    PxRect s = selectionRect(a, rc, ix, icon != 0, isCheckItem(r), size);
    switch (a.itemSelectEdgeStyle) {
        case 5: break;
        case 6: plan.ops.push_back(DrawEdgeOp{s, kBdrSunkenOuter, kBfRect}); break;
        case 7: plan.ops.push_back(DrawEdgeOp{s, kBdrRaisedInner, kBfRect}); break;
        default:
            plan.ops.push_back(RectangleOp{s, penStyle(a.itemSelectEdgeStyle),
                                           a.itemSelectEdgeColor, a.backColor});
            break;
    }
    s = {clampToInt(s.left + 1LL), clampToInt(s.top + 1LL), clampToInt(s.right - 1LL),
         clampToInt(s.bottom - 1LL)};
    planSelectionFill(plan, a, s);
    plan.ops.push_back(TextOp{text, r.itemText, a.itemTextSelectColor});

    if (isCheckItem(r)) {
        if (isChecked(r)) addIcon(plan, ix + 2LL, rows.iy, icon, size);
        return;
    }
    addIcon(plan, ix + 2LL, rows.iy, icon, size);
    if (icon == 0) return;
    switch (a.itemIconStyle) {
        case 1:
            plan.ops.push_back(DrawEdgeOp{iconBox(ix, rc, size), kBdrSunkenOuter, kBfRect});
            break;
        case 2:
            plan.ops.push_back(DrawEdgeOp{iconBox(ix, rc, size), kBdrRaisedInner, kBfRect});
            break;
        case 3:
            plan.ops.push_back(IconShadowOp{clampToInt(ix + 3LL), rows.iyPlus, icon, size});
            addIcon(plan, ix + 1LL, rows.iyMinus, icon, size);
            break;
        default: break;
    }
}

}  // namespace

Rgb gradient(double t, Colorref start, Colorref end) {
    return {channel(t, red(start), red(end)), channel(t, green(start), green(end)),
            channel(t, blue(start), blue(end))};
}

int roundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    double r = std::floor(value);
    const double rest = value - r;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

int menuIconSize(int smallIconSize, int cyMenu) {
    const int wanted = smallIconSize > 0 ? smallIconSize : kMenuIconSize96;
    return std::max(1, std::min(wanted, cyMenu - 3));
}

int measureItemWidth(std::size_t gbkByteLength, int cyMenu, int leftBarWidth, int iconSize) {
    // The icon's growth past 16 px is added: the text keeps the room it has at 96 DPI.
    const int grown = std::max(iconSize - kMenuIconSize96, 0);
    return roundHalfEven(cyMenu / 2.5 * static_cast<double>(gbkByteLength) + leftBarWidth + grown);
}

int measureItemHeight(std::int32_t itemType, int cyMenu) {
    return itemType == kTypeSeparator ? 6 : cyMenu;
}

int totalMenuHeight(const std::vector<std::int32_t>& itemTypesInMenuOrder, int cyMenu) {
    long long h = 0;
    for (const std::int32_t type : itemTypesInMenuOrder) h += measureItemHeight(type, cyMenu);
    return clampToInt(h);
}

std::optional<ItemSize> measureMenuItem(std::uint32_t ctlType, std::uint32_t itemId,
                                        const MenuModel& model, std::size_t gbkByteLength,
                                        int cyMenu, int maxWidth, int iconSize) {
    if ((ctlType & kOdtMenu) == 0) return std::nullopt;
    const MenuItem* r = model.record(itemId);
    const int width =
        measureItemWidth(gbkByteLength, cyMenu, model.appearance().leftBarWidth, iconSize);
    return ItemSize{std::min(width, maxWidth),
                    measureItemHeight(r ? r->itemType : kTypeString, cyMenu)};
}

std::vector<std::size_t> menuColumnStarts(const std::vector<int>& itemHeights, int available) {
    std::vector<std::size_t> starts;
    long long column = 0;
    for (std::size_t i = 0; i < itemHeights.size(); ++i) {
        const int h = std::max(itemHeights[i], 0);
        if (i > 0 && column > 0 && column + h > available) {
            starts.push_back(i);
            column = 0;
        }
        column += h;
    }
    return starts;
}

MenuPlacement placeMenu(const std::vector<int>& itemHeights, const PxRect& work, int openY,
                        const PxRect& keepFree, int frame) {
    long long total = frame;
    for (const int h : itemHeights) total += std::max(h, 0);
    MenuPlacement placement;
    placement.area = work;
    if (total <= static_cast<long long>(work.bottom) - openY ||
        total <= static_cast<long long>(openY) - work.top)
        return placement;
    const std::pair<MenuSide, PxRect> sides[] = {
        {MenuSide::Above, {work.left, work.top, work.right, std::min(keepFree.top, work.bottom)}},
        {MenuSide::Below,
         {work.left, std::max(keepFree.bottom, work.top), work.right, work.bottom}},
        {MenuSide::Right, {std::max(keepFree.right, work.left), work.top, work.right, work.bottom}},
        {MenuSide::Left, {work.left, work.top, std::min(keepFree.left, work.right), work.bottom}},
    };
    bool first = true;
    for (const auto& [side, area] : sides) {
        std::vector<std::size_t> starts = menuColumnStarts(itemHeights, area.bottom - area.top - frame);
        const long long columns = static_cast<long long>(starts.size()) + 1;
        const long long width = (static_cast<long long>(area.right) - area.left) / columns - kMenuColumnMargin;
        if (first || width > placement.columnWidth) {
            placement = {side, area, std::move(starts), static_cast<int>(std::max(width, -1LL))};
            first = false;
        }
    }
    return placement;
}

IconRows iconRows(const PxRect& rc, int iconSize) {
    const double middle =
        (static_cast<double>(rc.bottom) - rc.top + 1 - iconSize) / 2 + static_cast<double>(rc.top);
    return {roundHalfEven(middle), roundHalfEven(middle + 1), roundHalfEven(middle - 1)};
}

// The left bar runs down the menu's first column only; items of later columns start at their
// own left edge.
int iconColumn(const MenuAppearance& look, const PxRect& rc) {
    return look.leftBarStyle != 0 ? std::max(clampToInt(look.leftBarWidth + 1LL), rc.left)
                                  : rc.left;
}

PxRect iconBox(int ix, const PxRect& rc, int iconSize) {
    return {ix, rc.top, clampToInt(ix + 4LL + iconSize), rc.bottom};
}

PxRect textRect(int ix, const PxRect& rc, int iconSize) {
    return {clampToInt(ix + 7LL + iconSize), rc.top, rc.right, rc.bottom};
}

PxRect selectionRect(const MenuAppearance& look, const PxRect& rc, int ix, bool hasIcon,
                     bool isCheckItem, int iconSize) {
    int left = rc.left;
    if (look.itemSelectScope & 2)
        left = ix;
    else if (look.itemSelectScope & 1)
        left = clampToInt(textRect(ix, rc, iconSize).left - 2LL);
    if (look.itemSelectScope != 4 && (!hasIcon || isCheckItem)) left = ix;
    return {left, rc.top, rc.right, rc.bottom};
}

DrawPlan planDrawItem(const DrawRequest& request, const MenuModel& model, int cyMenu,
                      int iconSize) {
    DrawPlan plan;
    if (request.ctlType != kOdtMenu) return plan;
    const MenuItem* r = model.record(request.itemId);
    if (!r) return plan;

    const MenuAppearance& a = model.appearance();
    const PxRect& rc = request.rc;
    plan.ops.push_back(SetBkModeTransparentOp{});

    // Heights by the records of the items actually in the menu: after DeleteItem positions and
    // ids no longer agree. Ids without a record (submenus report −1) count as normal items.
    std::vector<std::int32_t> types;
    types.reserve(request.menuItemIds.size());
    for (const std::uint32_t id : request.menuItemIds) {
        const MenuItem* p = model.record(id);
        types.push_back(p ? p->itemType : kTypeString);
    }
    const int height = totalMenuHeight(types, cyMenu);

    // Never left of the item: in a menu of columns that is the item of the column before.
    plan.ops.push_back(FillRectOp{
        {std::max(clampToInt(a.leftBarWidth - 1LL), rc.left), rc.top, rc.right, rc.bottom},
        a.backColor});
    planLeftBar(plan, a, height, rc);

    const int ix = iconColumn(a, rc);
    const IconRows rows = iconRows(rc, iconSize);
    const PxRect text = textRect(ix, rc, iconSize);
    const std::uintptr_t icon = pictureHandle(r->itemIcon);

    if (r->itemType == kTypeSeparator) {
        planSeparator(plan, a, rc);
    } else if (r->itemState & kStateDisabled) {
        // Disabled items never show the highlight, selected or not.
        plan.ops.push_back(TextOp{text, r->itemText, a.itemTextDisabledColor});
        if ((!isCheckItem(*r) || isChecked(*r)) && icon != 0)
            plan.ops.push_back(IconDisabledOp{clampToInt(ix + 2LL), rows.iy, icon, iconSize});
    } else if (request.itemState & kOdsSelected) {
        planSelected(plan, a, *r, rc, ix, rows, text, iconSize);
    } else {
        plan.markPointerLeft = true;
        // Erases an old highlight.
        const int left = std::max(a.leftBarStyle != 0 ? a.leftBarWidth : 0, rc.left);
        plan.ops.push_back(FillRectOp{{left, rc.top, rc.right, rc.bottom}, a.backColor});
        plan.ops.push_back(TextOp{text, r->itemText, a.itemTextEnabledColor});
        if (!isCheckItem(*r) || isChecked(*r)) addIcon(plan, ix + 2LL, rows.iy, icon, iconSize);
    }
    return plan;
}

}  // namespace replybar::menu
