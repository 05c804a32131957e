#include "controls/menu_draw.h"

#include <gtest/gtest.h>

namespace replybar::menu {
namespace {

constexpr int kCy = 19;  // SM_CYMENU
constexpr Colorref kMenu = 0x00E0E0E0, kMenuText = 0x00000001;
constexpr std::uintptr_t kIcon = 0x1234;

struct FakePicture : MenuPicture {
    explicit FakePicture(std::uintptr_t h) : h(h) {}
    std::uintptr_t handle() const override { return h; }
    std::uintptr_t h;
};

struct FixedColors : ISystemColors {
    std::uint32_t color(int i) const override {
        return i == kColorMenu ? kMenu : i == kColorMenuText ? kMenuText : 0x00123456;
    }
};

// The launcher's look (preset 1) with one item.
MenuModel launcher(std::int32_t type = kTypeString, std::int32_t state = 0,
                   std::uintptr_t icon = kIcon) {
    MenuModel m;
    m.setStyle(1, FixedColors(), nullptr);
    m.addItem(L"open1", icon ? std::make_shared<FakePicture>(icon) : nullptr, L"Mail", type, state,
              {});
    return m;
}

DrawPlan draw(const MenuModel& m, bool selected, Rect rc = {0, 0, 150, 19}) {
    return planDrawItem({kOdtMenu, 0, selected ? kOdsSelected : 0u, rc, {0}}, m, kCy);
}

template <class Op>
std::vector<Op> opsOf(const DrawPlan& plan) {
    std::vector<Op> out;
    for (const DrawOp& op : plan.ops)
        if (const Op* p = std::get_if<Op>(&op)) out.push_back(*p);
    return out;
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
    for (const auto& c : cases) EXPECT_EQ(menuColumnStarts(c.heights, c.available), c.starts) << c.what;
}

// An item of a later column paints nothing left of its own rectangle, where the item of the
// column before is.
TEST(MenuColumns, AnItemPaintsOnlyItsOwnColumn) {
    const Rect rc{200, 19, 350, 38};
    for (const std::int32_t style : {0, 1, 2, 3, 4}) {
        for (const std::int32_t type : {kTypeString, kTypeSeparator}) {
            for (const bool selected : {false, true}) {
                MenuModel m = launcher(type);
                m.setStyle(style, FixedColors(), std::make_shared<FakePicture>(0x99));
                const DrawPlan plan = draw(m, selected, rc);
                const auto where = ::testing::Message() << "style " << style << " type " << type
                                                        << (selected ? " selected" : "");
                for (const FillRectOp& op : opsOf<FillRectOp>(plan)) {
                    if (op.rect.top == rc.top) {
                        EXPECT_GE(op.rect.left, rc.left) << where;
                    }
                }
                for (const TextOp& op : opsOf<TextOp>(plan)) EXPECT_GE(op.rect.left, rc.left) << where;
                for (const IconOp& op : opsOf<IconOp>(plan)) EXPECT_GE(op.x, rc.left) << where;
                for (const RectangleOp& op : opsOf<RectangleOp>(plan))
                    EXPECT_GE(op.rect.left, rc.left) << where;
            }
        }
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
        const Rect rc{0, 0, 150, c.cyMenu};
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
    const Rect rc{0, 0, 150, 19};
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

TEST(MenuPlan, LauncherItemSelected) {
    const Colorref blue = rgb(49, 106, 197), steel = rgb(180, 195, 210);
    const std::vector<DrawOp> want = {
        SetBkModeTransparentOp{},
        FillRectOp{{19, 0, 150, 19}, kMenu},
        RectangleOp{{0, 0, 150, 19}, 0, blue, kMenu},
        RectangleOp{{1, 1, 149, 18}, 0, steel, steel},
        TextOp{{23, 0, 150, 19}, L"Mail", kMenuText},
        IconOp{2, 2, kIcon},
    };
    const DrawPlan plan = draw(launcher(), true);
    EXPECT_EQ(plan.ops, want);
    EXPECT_FALSE(plan.markPointerLeft);
}

TEST(MenuPlan, NormalItemBesideLeftBar) {
    MenuModel m = launcher();
    m.setLeftBarStyle(1);
    const DrawPlan plan = draw(m, false);
    EXPECT_TRUE(plan.markPointerLeft);
    const auto fills = opsOf<FillRectOp>(plan);
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[1].rect, (Rect{0, 0, 19, 18}));    // the bar
    EXPECT_EQ(fills[2].rect, (Rect{20, 0, 150, 19}));  // erases an old highlight
    EXPECT_EQ(opsOf<IconOp>(plan), (std::vector<IconOp>{{23, 2, kIcon}}));
}

TEST(MenuPlan, DisabledItemShowsNoHighlightEvenWhenSelected) {
    const DrawPlan plan = draw(launcher(kTypeString, 3), true);
    EXPECT_TRUE(opsOf<RectangleOp>(plan).empty());
    EXPECT_EQ(opsOf<TextOp>(plan).at(0).color, 0x00123456u);  // COLOR_GRAYTEXT
    EXPECT_EQ(opsOf<IconDisabledOp>(plan), (std::vector<IconDisabledOp>{{2, 2, kIcon}}));
    EXPECT_FALSE(plan.markPointerLeft);
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
    const Rect rc{0, 0, 150, 20};  // iy 2, iy⁺ 4, iy⁻ 2
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

TEST(MenuPlan, SeparatorStyles) {
    const Rect s{24, 21, 150, 22};
    struct Case {
        int style;
        std::vector<DrawOp> tail;
    };
    for (const Case& c : {Case{5, {}}, Case{6, {DrawEdgeOp{s, kEdgeEtched, kBfTop}}},
                          Case{1, {RectangleOp{s, 1, rgb(192, 192, 192), kMenu}}}}) {
        MenuModel m = launcher(kTypeSeparator);
        m.setSeparatorStyle(c.style);
        const DrawPlan plan = draw(m, true, {0, 19, 150, 25});
        EXPECT_EQ(std::vector<DrawOp>(plan.ops.begin() + 2, plan.ops.end()), c.tail) << c.style;
    }
}

TEST(MenuPlan, LeftBarStyles) {
    MenuModel m = launcher();
    m.setLeftBarEndColor(rgb(255, 255, 255));
    m.setLeftBarStartColor(0);
    m.setLeftBarStyle(2);
    auto lines = opsOf<LineOp>(draw(m, false));
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[19], (LineOp{19, 0, 19, 18, rgb(242, 242, 242)}));
    m.setLeftBarStyle(3);
    lines = opsOf<LineOp>(draw(m, false));
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[18], (LineOp{0, 18, 19, 18, rgb(241, 241, 241)}));  // t = 18/19

    // An image bar without an image draws nothing, yet the icon column stays after it.
    m.setLeftBarStyle(4);
    EXPECT_TRUE(opsOf<BarImageOp>(draw(m, false)).empty());
    EXPECT_EQ(opsOf<IconOp>(draw(m, false)).at(0).x, 23);
    m.setLeftBarImage(std::make_shared<FakePicture>(99));
    EXPECT_EQ(opsOf<BarImageOp>(draw(m, false)), (std::vector<BarImageOp>{{20, 19, 99}}));
}

TEST(MenuPlan, GradientFillsOfTheHighlight) {
    MenuModel m = launcher();
    m.setItemSelectFillStartColor(0);
    m.setItemSelectFillEndColor(rgb(255, 0, 0));
    m.setItemSelectFillStyle(2);
    auto lines = opsOf<LineOp>(draw(m, true));
    ASSERT_EQ(lines.size(), 148u);  // columns 1 … 148 inside the border
    EXPECT_EQ(lines.back(), (LineOp{148, 1, 148, 18, rgb(251, 0, 0)}));  // t = 147/149
    m.setItemSelectFillStyle(3);
    lines = opsOf<LineOp>(draw(m, true));
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines.back(), (LineOp{1, 17, 149, 17, rgb(226, 0, 0)}));  // t = 16/18
}

TEST(MenuPlan, BarSpansTheItemsActuallyInTheMenu) {
    MenuModel m = launcher();
    m.setLeftBarStyle(1);
    m.addItem(L"sep", nullptr, L"", kTypeSeparator, 0, {});
    m.addItem(L"open2", nullptr, L"x", kTypeString, 0, {});
    DrawRequest req{kOdtMenu, 0, 0, {0, 0, 150, 19}, {0, 2}};  // the separator was deleted
    EXPECT_EQ(opsOf<FillRectOp>(planDrawItem(req, m, kCy)).at(1).rect, (Rect{0, 0, 19, 37}));
    req.menuItemIds = {0, 1, 2, 0xFFFFFFFFu};  // a submenu counts as a normal item
    EXPECT_EQ(opsOf<FillRectOp>(planDrawItem(req, m, kCy)).at(1).rect, (Rect{0, 0, 19, 62}));
}

TEST(MenuPlan, ForeignRequestsDrawNothing) {
    const MenuModel m = launcher();
    EXPECT_TRUE(planDrawItem({3, 0, 0, {0, 0, 150, 19}, {0}}, m, kCy).ops.empty());
    EXPECT_TRUE(planDrawItem({kOdtMenu, 5, 0, {0, 0, 150, 19}, {0}}, m, kCy).ops.empty());
}

}  // namespace
}  // namespace replybar::menu
