#include "controls/menu_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "fakes.h"

namespace replybar::menu {
namespace {

using testing::FakePicture;
using testing::FakeSystemColors;

constexpr int kCy = 19;  // SM_CYMENU
constexpr Colorref kMenu = FakeSystemColors::standard(kColorMenu);
constexpr Colorref kMenuText = FakeSystemColors::standard(kColorMenuText);
constexpr std::uintptr_t kIcon = 0x1234;

// The launcher's look (preset 1) with one item.
MenuModel launcher(std::int32_t type = kTypeString, std::int32_t state = 0,
                   std::uintptr_t icon = kIcon) {
    MenuModel m;
    m.setStyle(1, FakeSystemColors(), nullptr);
    m.addItem(L"open1", icon ? std::make_shared<FakePicture>(icon) : nullptr, L"Mail", type, state,
              {});
    return m;
}

DrawPlan draw(const MenuModel& m, bool selected, PxRect rc = {0, 0, 150, 19}) {
    return planDrawItem({kOdtMenu, 0, selected ? kOdsSelected : 0u, rc, {0}}, m, kCy);
}

template <class Op>
std::vector<Op> opsOf(const DrawPlan& plan) {
    std::vector<Op> out;
    for (const DrawOp& op : plan.ops)
        if (const Op* p = std::get_if<Op>(&op)) out.push_back(*p);
    return out;
}

// What a pixel shows once the plan is drawn: fills, lines, rectangles (pen on the border, brush
// inside), edges (kEdge) and the bar image (kImage). Text and icons are not painted; kWindow is
// where the plan leaves the menu window's own background.
constexpr Colorref kWindow = 0xFF000000, kEdge = 0xFF000001, kImage = 0xFF000002;
// A border drawn with a pen of dots or dashes (PS_ style 1-4).
constexpr Colorref patterned(int penStyle, Colorref c) {
    return static_cast<Colorref>(penStyle) << 24 | c;
}
Colorref pixel(const DrawPlan& plan, int x, int y) {
    const auto in = [&](const PxRect& r) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    };
    const auto border = [&](const PxRect& r) {
        return in(r) && (x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1);
    };
    Colorref seen = kWindow;
    for (const DrawOp& op : plan.ops) {
        if (const auto* f = std::get_if<FillRectOp>(&op); f && in(f->rect)) seen = f->color;
        if (const auto* l = std::get_if<LineOp>(&op);  // end point not painted
            l && in({l->x1, l->y1, std::max(l->x2, l->x1 + 1), std::max(l->y2, l->y1 + 1)}))
            seen = l->color;
        if (const auto* r = std::get_if<RectangleOp>(&op); r && in(r->rect))
            seen = border(r->rect) ? patterned(r->penStyle, r->penColor) : r->brushColor;
        if (const auto* e = std::get_if<DrawEdgeOp>(&op); e && border(e->rect)) seen = kEdge;
        if (const auto* b = std::get_if<BarImageOp>(&op); b && in({0, 0, b->width, b->height}))
            seen = kImage;
    }
    return seen;
}

TEST(MenuMeasure, WidthFromByteLengthHeightByType) {
    EXPECT_EQ(measureItemWidth(4, kCy, 20), 50);  // round(50.4)
    const MenuModel m = launcher(kTypeSeparator);
    EXPECT_EQ(measureMenuItem(kOdtMenu, 0, m, 0, kCy)->width, 20);
    EXPECT_EQ(measureMenuItem(3, 0, m, 0, kCy)->height, 6);  // only the low bit of CtlType
    EXPECT_EQ(measureMenuItem(2, 0, m, 0, kCy), std::nullopt);
    EXPECT_EQ(measureMenuItem(kOdtMenu, 99, m, 0, kCy)->height, kCy);
    EXPECT_EQ(totalMenuHeight({kTypeString, kTypeSeparator, kTypeRadioCheck}, kCy), 44);
    // A long name never makes the menu wider than the cap (half the screen).
    EXPECT_EQ(measureMenuItem(kOdtMenu, 0, m, 400, kCy, 640)->width, 640);
    EXPECT_EQ(measureMenuItem(kOdtMenu, 0, m, 4, kCy, 640)->width, 50);
}

TEST(MenuColumns, ANewColumnWhereTheNextItemWouldPassTheScreen) {
    const std::vector<int> launcher150(150, kCy);
    const struct {
        const char* what;
        std::vector<int> heights;
        int available;
        std::vector<std::size_t> starts;
    } cases[] = {
        {"fits", {kCy, kCy, kCy}, 57, {}},
        {"one row too many", {kCy, kCy, kCy}, 56, {2}},
        {"150 rows on 800 px less the frame", launcher150, 790, {41, 82, 123}},
        {"separators are short", {kCy, 6, kCy, 6, kCy}, 50, {4}},
        {"an item taller than the screen stands alone", {kCy, 900, kCy}, 790, {1, 2}},
        {"never a column before the first item", {900}, 790, {}},
        {"no room at all: one item per column", {kCy, kCy}, 0, {1}},
        {"empty menu", {}, 790, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(menuColumnStarts(c.heights, c.available), c.starts) << c.what;
}

// A menu that fits neither below nor above its point opens beside the bar, never over it, on
// the side where its columns are widest.
TEST(MenuPlacement, BesideTheBarWhenItFitsNeitherBelowNorAbove) {
    const PxRect screen{0, 0, 1280, 800};
    const std::vector<int> rows150(150, kCy), rows35(35, kCy), rows4(4, kCy);
    const struct {
        const char* what;
        std::vector<int> heights;
        PxRect face;
        MenuSide side;
        std::size_t columns;
    } cases[] = {
        {"four rows above a bar at the bottom", rows4, {159, 771, 262, 800}, MenuSide::AtPoint, 1},
        {"150 rows over a bar at the bottom", rows150, {159, 771, 262, 800}, MenuSide::Above, 4},
        {"150 rows under a bar at the top", rows150, {159, 0, 262, 29}, MenuSide::Below, 4},
        {"150 rows beside a bar on the left", rows150, {0, 380, 103, 409}, MenuSide::Right, 4},
        {"35 rows: two columns above a bar in the middle", rows35, {600, 420, 703, 449},
         MenuSide::Above, 2},
    };
    for (const auto& c : cases) {
        const MenuPlacement p = placeMenu(c.heights, screen, c.face.top + 4, c.face, 10);
        EXPECT_EQ(p.side, c.side) << c.what;
        EXPECT_EQ(p.starts.size() + 1, c.columns) << c.what;
        if (p.side != MenuSide::AtPoint) EXPECT_GE(p.columnWidth, 200) << "room for names: " << c.what;
    }
}

TEST(MenuGradient, FloorsEveryChannelInDoubles) {
    struct Case {
        double t;
        Colorref start, end;
        Rgb want;
    };
    const Colorref black = 0, white = rgb(255, 255, 255);
    const Colorref g200 = rgb(200, 200, 200), g100 = rgb(100, 100, 100);
    for (const Case c :
         {Case{0.0 / 20, black, white, {0, 0, 0}}, Case{19.0 / 20, black, white, {242, 242, 242}},
          Case{10.0 / 20, g200, g100, {150, 150, 150}},
          Case{11.0 / 20, g200, g100, {144, 144, 144}},  // floor(−55.00000000000001)
          Case{0.5, rgb(0, 100, 200), rgb(255, 0, 0), {127, 50, 100}},
          Case{0.0, 0x80000004, 0x80000004, {4, 0, 0}}}) {
        EXPECT_EQ(gradient(c.t, c.start, c.end), c.want) << c.t;
    }
}

TEST(MenuGeometry, IconRowsRoundHalvesToEven) {
    struct Case {
        int top, bottom, iy, plus, minus;
    };
    for (const Case c : {Case{0, 20, 2, 4, 2}, Case{0, 19, 2, 3, 1}, Case{1, 21, 4, 4, 2}}) {
        const IconRows r = iconRows({0, c.top, 150, c.bottom});
        EXPECT_EQ((std::vector{r.iy, r.iyPlus, r.iyMinus}), (std::vector{c.iy, c.plus, c.minus}));
    }
}

// Icons take the system's small icon size, as the rows grow with the display scale, but never
// more than a row leaves; the icon box and the text move along, and the item grows by as much.
TEST(MenuGeometry, IconsGrowWithTheRows) {
    struct Case {
        const char* what;
        int smallIcon, cyMenu;
        int size, iy, boxRight, textLeft, width;  // width of a 4-byte caption, W = 20
    };
    for (const Case c :
         {Case{"96 DPI", 16, 19, 16, 2, 20, 23, 50}, Case{"120 DPI", 20, 24, 20, 2, 24, 27, 62},
          Case{"144 DPI", 24, 28, 24, 2, 28, 31, 73}, Case{"192 DPI", 32, 37, 32, 3, 36, 39, 95},
          Case{"rows smaller than the icons", 32, 30, 27, 2, 31, 34, 79},
          Case{"no size from the system", 0, 19, 16, 2, 20, 23, 50}}) {
        const int size = menuIconSize(c.smallIcon, c.cyMenu);
        EXPECT_EQ(size, c.size) << c.what;
        const PxRect rc{0, 0, 150, c.cyMenu};
        EXPECT_EQ(iconRows(rc, size).iy, c.iy) << c.what;
        EXPECT_LE(iconRows(rc, size).iy + size, c.cyMenu) << c.what << ": the icon leaves its row";
        EXPECT_EQ(iconBox(0, rc, size).right, c.boxRight) << c.what;
        EXPECT_EQ(textRect(0, rc, size).left, c.textLeft) << c.what;
        EXPECT_EQ(measureItemWidth(4, c.cyMenu, 20, size), c.width) << c.what;
        // The plan draws the icon at that size where the geometry says.
        const DrawPlan plan = planDrawItem({kOdtMenu, 0, 0, rc, {0}}, launcher(), c.cyMenu, size);
        EXPECT_EQ(opsOf<IconOp>(plan), (std::vector<IconOp>{{2, c.iy, kIcon, size}})) << c.what;
        EXPECT_EQ(opsOf<TextOp>(plan).at(0).rect.left, c.textLeft) << c.what;
    }
}

TEST(MenuGeometry, SelectionStartsWhereTheScopeSays) {
    struct Case {
        int scope;
        bool icon, check;
        int left;
    };
    MenuAppearance look;
    look.leftBarStyle = 1;
    look.leftBarWidth = 20;
    const PxRect rc{0, 0, 150, 19};
    const int ix = iconColumn(look, rc);
    ASSERT_EQ(ix, 21);
    ASSERT_EQ(textRect(ix, rc).left, 44);
    for (const Case c :
         {Case{2, true, false, 21}, Case{1, true, false, 42}, Case{0, true, false, 0},
          Case{4, false, true, 0}, Case{1, false, false, 21}, Case{0, true, true, 21}}) {
        look.itemSelectScope = c.scope;
        EXPECT_EQ(selectionRect(look, rc, ix, c.icon, c.check).left, c.left) << c.scope;
    }
}

// What sets the presets apart on screen, over a menu of an item with an icon, a disabled item
// and a separator (rows 0-18, 19-37, 38-43); and that in a menu of columns, an item never
// paints over the column before it.
TEST(MenuPresets, WhatEachPresetLooksLike) {
    constexpr Colorref hl = FakeSystemColors::standard(kColorHighlight);
    constexpr Colorref hlText = FakeSystemColors::standard(kColorHighlightText);
    constexpr Colorref gray = FakeSystemColors::standard(kColorGrayText);
    constexpr Colorref steelBlue = rgb(49, 106, 197), steel = rgb(180, 195, 210);
    constexpr Colorref black = 0, blue = rgb(0, 0, 255), yellow = rgb(255, 255, 0);
    constexpr Colorref dotted = patterned(2, black);  // PS_DOT
    enum Drawn { Normal, Selected, Disabled, Separator };
    const struct {
        const char* what;
        Drawn drawn;
        int x, y;
    } probes[] = {
        // clang-format off
        {"background", Normal, 140, 9},              {"left bar, top", Normal, 5, 0},
        {"left bar, bottom", Normal, 5, 43},         {"right of the icon", Selected, 19, 9},
        {"highlight, left", Selected, 21, 9},        {"highlight, right", Selected, 149, 9},
        {"highlight, bottom", Selected, 60, 18},     {"highlight, top left", Selected, 22, 1},
        {"highlight, top right", Selected, 148, 1},  {"highlight, bottom right", Selected, 148, 17},
        {"separator", Separator, 60, 40},
        // clang-format on
    };
    const struct {
        int preset;
        std::array<Colorref, 11> seen;  // at each probe
        std::array<Colorref, 3> texts;  // normal, selected, disabled
    } rows[] = {
        {0, {kMenu, kMenu, kWindow, hl, hl, hl, hl, hl, hl, hl, kEdge}, {kMenuText, hlText, gray}},
        {1,
         {kMenu, kMenu, kWindow, steel, steel, steelBlue, steelBlue, steel, steel, steel,
          rgb(192, 192, 192)},
         {kMenuText, kMenuText, gray}},
        // Gradients: the bar black to white downwards, the highlight across, and no border.
        {2,
         {kMenu, black, rgb(249, 249, 249), kMenu, kMenu, kMenu, kMenu, black, rgb(251, 251, 251),
          rgb(251, 251, 251), kEdge},
         {kMenuText, hlText, gray}},
        // A raised frame round the icon, a sunken one from the text on, no fill.
        {3,
         {kMenu, kMenu, kWindow, kEdge, kEdge, kEdge, kEdge, kMenu, kMenu, kMenu, kEdge},
         {kMenuText, blue, gray}},
        // The picture bar; a dotted black border round a yellow-to-green fill downwards.
        {4,
         {rgb(230, 230, 255), kImage, kImage, kImage, dotted, dotted, dotted, yellow, yellow,
          rgb(28, 255, 0), patterned(4, rgb(255, 0, 255))},
         {blue, rgb(255, 0, 0), steelBlue}},
    };
    const auto barPicture = std::make_shared<FakePicture>(0x99);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.preset);
        MenuModel m = launcher();
        m.addItem(L"off", std::make_shared<FakePicture>(kIcon), L"Off", kTypeString, 3, {});
        m.addItem(L"sep", nullptr, L"", kTypeSeparator, 0, {});
        // Over another preset; the system colours change afterwards: a preset keeps its copies.
        FakeSystemColors sys;
        m.setStyle((row.preset + 4) % 5, sys, barPicture);
        m.setStyle(row.preset, sys, barPicture);
        sys.base = 0x00200000;
        const auto plan = [&](std::uint32_t id, bool selected, PxRect rc) {
            return planDrawItem({kOdtMenu, id, selected ? kOdsSelected : 0u, rc, {0, 1, 2}}, m,
                                kCy);
        };
        const DrawPlan drawn[] = {plan(0, false, {0, 0, 150, 19}), plan(0, true, {0, 0, 150, 19}),
                                  plan(1, true, {0, 19, 150, 38}),
                                  plan(2, false, {0, 38, 150, 44})};
        for (std::size_t i = 0; i < std::size(probes); ++i) {
            const auto& p = probes[i];
            EXPECT_EQ(pixel(drawn[p.drawn], p.x, p.y), row.seen[i]) << p.what;
        }
        for (const Drawn d : {Normal, Selected, Disabled})
            EXPECT_EQ(opsOf<TextOp>(drawn[d]).at(0).color, row.texts[d]) << "text " << d;
        EXPECT_FALSE(drawn[Selected].markPointerLeft);
        // An item of a later column paints nothing over the column before, the bar aside.
        for (const auto& [id, rc] :
             {std::pair{0u, PxRect{200, 0, 350, 19}}, {2u, {200, 38, 350, 44}}}) {
            for (const bool selected : {false, true}) {
                const DrawPlan later = plan(id, selected, rc);
                int painted = 0;
                for (int y = rc.top; y < rc.bottom; ++y)
                    for (int x = 20; x < rc.left; ++x) painted += pixel(later, x, y) != kWindow;
                EXPECT_EQ(painted, 0) << "later column, item " << id << ", selected " << selected;
                for (const TextOp& op : opsOf<TextOp>(later)) EXPECT_GE(op.rect.left, rc.left);
                for (const IconOp& op : opsOf<IconOp>(later)) EXPECT_GE(op.x, rc.left);
            }
        }
        EXPECT_EQ(m.appearance().leftBarImage, row.preset == 4 ? barPicture : nullptr);
    }
}

TEST(MenuPlan, NormalItemBesideLeftBar) {
    MenuModel m = launcher();
    m.setLeftBarStyle(1);
    const DrawPlan plan = draw(m, false);
    EXPECT_TRUE(plan.markPointerLeft);
    const auto fills = opsOf<FillRectOp>(plan);
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[1].rect, (PxRect{0, 0, 19, 18}));    // the bar
    EXPECT_EQ(fills[2].rect, (PxRect{20, 0, 150, 19}));  // erases an old highlight
}

TEST(MenuPlan, CheckItemIconOnlyWhenCheckedAndWithoutIconStyle) {
    struct Case {
        std::int32_t state;
        bool selected;
        std::size_t icons;
    };
    for (const Case c : {Case{0, false, 0}, Case{0, true, 0}, Case{2, true, 0}, Case{8, false, 1},
                         Case{8, true, 1}, Case{10, true, 1}}) {
        MenuModel m = launcher(kTypeRadioCheck, c.state);
        m.setItemIconStyle(3);
        const DrawPlan plan = draw(m, c.selected);
        EXPECT_EQ(opsOf<IconOp>(plan).size() + opsOf<IconDisabledOp>(plan).size(), c.icons)
            << c.state << " " << c.selected;
        EXPECT_TRUE(opsOf<IconShadowOp>(plan).empty());
    }
}

TEST(MenuPlan, IconStylesOfTheSelectedItem) {
    const PxRect rc{0, 0, 150, 20};  // iy 2, iy⁺ 4, iy⁻ 2
    for (const auto& [style, edge] : {std::pair{1, kBdrSunkenOuter}, {2, kBdrRaisedInner}}) {
        MenuModel m = launcher(), bare = launcher(kTypeString, 0, 0);
        m.setItemIconStyle(style);
        bare.setItemIconStyle(style);
        EXPECT_EQ(opsOf<DrawEdgeOp>(draw(m, true, rc)),
                  (std::vector<DrawEdgeOp>{{{0, 0, 20, 20}, edge, kBfRect}}));
        EXPECT_TRUE(opsOf<DrawEdgeOp>(draw(bare, true, rc)).empty());
    }
    MenuModel m = launcher();
    m.setItemIconStyle(3);
    const DrawPlan plan = draw(m, true, rc);
    EXPECT_EQ(opsOf<IconShadowOp>(plan), (std::vector<IconShadowOp>{{3, 4, kIcon}}));
    EXPECT_EQ(opsOf<IconOp>(plan), (std::vector<IconOp>{{2, 2, kIcon}, {1, 2, kIcon}}));
}

TEST(MenuPlan, LeftBarStyles) {
    MenuModel m = launcher();
    m.setLeftBarEndColor(rgb(255, 255, 255));
    m.setLeftBarStartColor(0);
    m.setLeftBarStyle(2);
    const auto lines = opsOf<LineOp>(draw(m, false));
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[19], (LineOp{19, 0, 19, 18, rgb(242, 242, 242)}));

    // An image bar without an image draws nothing, yet the icon column stays after it.
    m.setLeftBarStyle(4);
    EXPECT_TRUE(opsOf<BarImageOp>(draw(m, false)).empty());
    EXPECT_EQ(opsOf<IconOp>(draw(m, false)).at(0).x, 23);
}

TEST(MenuPlan, BarSpansTheItemsActuallyInTheMenu) {
    MenuModel m = launcher();
    m.setLeftBarStyle(1);
    m.addItem(L"sep", nullptr, L"", kTypeSeparator, 0, {});
    m.addItem(L"open2", nullptr, L"x", kTypeString, 0, {});
    DrawRequest req{kOdtMenu, 0, 0, {0, 0, 150, 19}, {0, 2}};  // the separator was deleted
    EXPECT_EQ(opsOf<FillRectOp>(planDrawItem(req, m, kCy)).at(1).rect, (PxRect{0, 0, 19, 37}));
    req.menuItemIds = {0, 1, 2, 0xFFFFFFFFu};  // a submenu counts as a normal item
    EXPECT_EQ(opsOf<FillRectOp>(planDrawItem(req, m, kCy)).at(1).rect, (PxRect{0, 0, 19, 62}));
}

TEST(MenuPlan, ForeignRequestsDrawNothing) {
    const MenuModel m = launcher();
    EXPECT_TRUE(planDrawItem({3, 0, 0, {0, 0, 150, 19}, {0}}, m, kCy).ops.empty());
    EXPECT_TRUE(planDrawItem({kOdtMenu, 5, 0, {0, 0, 150, 19}, {0}}, m, kCy).ops.empty());
}

}  // namespace
}  // namespace replybar::menu
