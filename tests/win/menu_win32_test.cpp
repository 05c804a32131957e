// OwnerDrawnMenu and its window hook against the real menu, GDI and message paths of Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "controls/launch_map.h"
#include "controls/owner_drawn_menu_win32.h"
#include "menu_test_support.h"

namespace replybar::menu {
namespace {

using testing::RecordingMenuEvents;
using testing::RecordingShell;
using testing::Surface;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kCanvas = RGB(1, 2, 3);  // what the surface shows where nothing was drawn

class MenuTest : public ::testing::Test {
public:
    void SetUp() override {
        entries.folder = L"C:\\启动\\";
        menu = std::make_unique<OwnerDrawnMenu>(
            MenuHost{&entries, &heard, &shell, [this] { ++unloads; }, nullptr});
        menu->CreateMenu();
    }

    // Through the real hook, as the menu loop sends it.
    void draw(HDC dc, UINT itemId, RECT rc, UINT itemState) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_MENU;
        dis.itemID = itemId;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = itemState;
        dis.hwndItem = reinterpret_cast<HWND>(menu->hwnd());
        dis.hDC = dc;
        dis.rcItem = rc;
        dis.itemData = 0xFFFFFFFF;
        ::SendMessageW(menuOwnerWindow(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    }

    SIZE measure(UINT itemId) {
        MEASUREITEMSTRUCT mis{ODT_MENU, 0, itemId, 0, 0, 0xFFFFFFFF};
        ::SendMessageW(menuOwnerWindow(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        return {static_cast<LONG>(mis.itemWidth), static_cast<LONG>(mis.itemHeight)};
    }

    void command(WPARAM id) { ::SendMessageW(menuOwnerWindow(), WM_COMMAND, id, 0); }

    launch::LaunchEntries entries;
    RecordingMenuEvents heard;
    RecordingShell shell;
    int unloads = 0;
    std::unique_ptr<OwnerDrawnMenu> menu;
};

TEST_F(MenuTest, Preset1DrawsOutlineAndFillWhenSelectedAndErasesThemAfter) {
    menu->AddItem(L"open1", testing::solidIconPicture(16, kRed), L"记事本", 0, 0);
    menu->Style(1);
    Surface s(150, 19, kCanvas);
    const COLORREF outline = RGB(49, 106, 197), fill = RGB(180, 195, 210);
    const COLORREF back = ::GetSysColor(COLOR_MENU);
    struct Probe {
        int x, y;
        COLORREF selected, normal;
    };
    const Probe probes[] = {{0, 0, outline, back}, {149, 18, outline, back}, {0, 9, outline, back},
                            {1, 1, fill, back},    {148, 17, fill, back},    {140, 9, fill, back},
                            {2, 2, kRed, kRed},    {17, 17, kRed, kRed}};  // the icon at (2, 2)

    draw(s.dc(), 0, {0, 0, 150, 19}, ODS_SELECTED);
    for (const Probe& p : probes) EXPECT_EQ(s.at(p.x, p.y), p.selected) << p.x << "," << p.y;
    EXPECT_TRUE(heard.log.empty()) << "a selected item is not one the pointer left";

    draw(s.dc(), 0, {0, 0, 150, 19}, 0);
    for (const Probe& p : probes) EXPECT_EQ(s.at(p.x, p.y), p.normal) << p.x << "," << p.y;
    EXPECT_EQ(heard.log, std::vector<std::string>{"left"});
}

TEST_F(MenuTest, Preset2LeftBarGradientSpansTheWholeMenu) {
    for (int i = 1; i <= 3; ++i) menu->AddItem(L"open" + std::to_wstring(i), nullptr, L"项", 0, 0);
    menu->Style(2);  // black to white, top to bottom
    const int cy = ::GetSystemMetrics(SM_CYMENU);
    const int h = 3 * cy;
    Surface s(120, h, kCanvas);
    draw(s.dc(), 1, {0, cy, 120, 2 * cy}, 0);  // the middle item paints the bar for all rows
    for (const int y : {0, h / 2, h - 1}) {
        const int v = static_cast<int>(std::floor(static_cast<double>(y) / h * 255));
        EXPECT_EQ(s.at(0, y), RGB(v, v, v)) << "row " << y;
        EXPECT_EQ(s.at(18, y), RGB(v, v, v)) << "row " << y;
    }
}

TEST_F(MenuTest, Preset4PaintsTheBarImageAndNoDrawingLeavesGdiObjectsBehind) {
    const COLORREF barColor = RGB(10, 200, 30);
    menu = std::make_unique<OwnerDrawnMenu>(
        MenuHost{&entries, &heard, &shell, nullptr, [barColor] {
                     return OlePicture::fromBitmap(testing::solidBitmap(20, 1024, barColor));
                 }});
    menu->CreateMenu();
    menu->AddItem(L"a", testing::solidIconPicture(32, kRed), L"甲", 0, 0);
    menu->AddItem(L"b", nullptr, L"", MFT_SEPARATOR, 0);
    menu->AddItem(L"c", testing::solidIconPicture(16, kRed), L"丙", 0, MFS_GRAYED);
    menu->Style(4);
    const int cy = ::GetSystemMetrics(SM_CYMENU);
    Surface s(150, 2 * cy + 6, kCanvas);
    draw(s.dc(), 0, {0, 0, 150, cy}, 0);
    EXPECT_EQ(s.at(5, 5), barColor);
    EXPECT_EQ(s.at(19, cy + 8), barColor) << "the bar spans every item";
    EXPECT_EQ(s.at(20, 3), RGB(230, 230, 255));  // preset 4's back colour, right of the bar

    // Every kind of item and effect, many times over: pens, brushes, DCs and icon copies all go.
    // The first round lets the system make what it keeps for good (its own brushes, say).
    int before = 0;
    for (int round = 0; round < 51; ++round) {
        if (round == 1) before = testing::gdiObjectCount();
        for (const int look : {0, 1, 2, 3}) {
            menu->ItemIconStyle(look);
            menu->ItemSelectFillStyle(look);
            menu->ItemSelectEdgeStyle(look == 3 ? 6 : look);
            menu->LeftBarStyle(look == 0 ? 4 : look);
            draw(s.dc(), 0, {0, 0, 150, cy}, ODS_SELECTED);
            draw(s.dc(), 0, {0, 0, 150, cy}, 0);
            draw(s.dc(), 1, {0, cy, 150, cy + 6}, 0);
            draw(s.dc(), 2, {0, cy + 6, 150, 2 * cy + 6}, ODS_SELECTED);
        }
    }
    EXPECT_EQ(testing::gdiObjectCount(), before);
}

TEST_F(MenuTest, SeparatorStyles) {
    menu->AddItem(L"sep", nullptr, L"", MFT_SEPARATOR, 0);
    menu->Style(1);
    const COLORREF back = ::GetSysColor(COLOR_MENU);
    const COLORREF grey = RGB(192, 192, 192);  // preset 1's separator colour
    struct Case {
        int style;
        COLORREF line;
        int minCount, maxCount;  // of the 126 pixels (24..149, 2) in that colour
    };
    const Case cases[] = {{0, grey, 126, 126},                             // solid pen
                          {2, grey, 20, 110},                              // dotted pen
                          {5, back, 126, 126},                             // none
                          {6, ::GetSysColor(COLOR_BTNSHADOW), 120, 126}};  // etched
    for (const Case& c : cases) {
        menu->SeparatorStyle(c.style);
        Surface s(150, 6, kCanvas);
        draw(s.dc(), 0, {0, 0, 150, 6}, 0);
        int count = 0;
        for (int x = 24; x < 150; ++x) count += s.at(x, 2) == c.line;
        EXPECT_GE(count, c.minCount) << "style " << c.style;
        EXPECT_LE(count, c.maxCount) << "style " << c.style;
        EXPECT_EQ(s.at(22, 2), back) << "style " << c.style << ": the line starts at W + 4";
        EXPECT_EQ(s.at(60, 0), back) << "style " << c.style;
        EXPECT_EQ(s.at(60, 4), back) << "style " << c.style;
    }
}

TEST_F(MenuTest, DisabledItemShowsNoHighlightAndKeepsItsIconInTheColumn) {
    // A launcher-sized 32 × 32 icon: the disabled look must still be 16 × 16.
    menu->AddItem(L"off", testing::solidIconPicture(32, kRed), L"停用", 0, MFS_GRAYED);
    menu->Style(1);
    const COLORREF back = ::GetSysColor(COLOR_MENU);
    Surface s(150, 19, back);  // the menu window's own background
    draw(s.dc(), 0, {0, 0, 150, 19}, ODS_SELECTED);
    int iconPixels = 0, highlight = 0, red = 0;
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 150; ++x) {
            const COLORREF c = s.at(x, y);
            highlight += c == RGB(49, 106, 197) || c == RGB(180, 195, 210);
            red += c == kRed;
            if (x < 20) iconPixels += c != back;
            if (x >= 20 && x < 23) {
                EXPECT_EQ(c, back) << "outside the icon column: " << x << "," << y;
            }
        }
    EXPECT_EQ(highlight, 0);
    EXPECT_EQ(red, 0) << "a disabled icon is drawn in the disabled look";
    EXPECT_GT(iconPixels, 100);
    EXPECT_TRUE(heard.log.empty());
}

TEST_F(MenuTest, MeasuresItemsByGbkBytesAndMenuHeight) {
    menu->AddItem(L"two", nullptr, L"中文", 0, 0);
    menu->AddItem(L"mixed", nullptr, L"a中", 0, 0);
    menu->AddItem(L"sep", nullptr, L"", MFT_SEPARATOR, 0);
    const int cy = ::GetSystemMetrics(SM_CYMENU);
    const auto width = [&](int bytes) {
        return static_cast<LONG>(std::nearbyint(cy / 2.5 * bytes + 20));
    };
    EXPECT_EQ(measure(0).cx, width(4));
    EXPECT_EQ(measure(0).cy, cy);
    EXPECT_EQ(measure(1).cx, width(3));
    EXPECT_EQ(measure(2).cx, 20);
    EXPECT_EQ(measure(2).cy, 6);
}

TEST_F(MenuTest, ItemsAreOwnerDrawnWithIdsThatAreNeverReused) {
    menu->AddItem(L"a", nullptr, L"甲", 0, 0);
    menu->AddItem(L"b", nullptr, L"", MFT_SEPARATOR, 0);
    menu->DeleteItem(L"a");
    menu->DeleteItem(L"nobody");
    menu->AddItem(L"c", nullptr, L"丙", MFT_RADIOCHECK, 0);
    const HMENU h = menu->hwnd();
    ASSERT_EQ(::GetMenuItemCount(h), 2);
    EXPECT_EQ(::GetMenuItemID(h, 0), 1u);
    EXPECT_EQ(::GetMenuItemID(h, 1), 2u);
    for (const UINT id : {1u, 2u}) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(::GetMenuItemInfoW(h, id, FALSE, &info));
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << id;
        EXPECT_FALSE(info.fType & MFT_SEPARATOR) << id;
        EXPECT_EQ(info.dwItemData, 0xFFFFFFFFu) << id;
    }
    EXPECT_EQ(menu->GetItemText(L"c"), L"丙");
    EXPECT_EQ(menu->GetItemText(L"a"), L"甲") << "a deleted item keeps its record";
    EXPECT_THROW(menu->AddItem(L"a", nullptr, L"again", 0, 0), MenuError);
}

TEST_F(MenuTest, DuplicateAliasTearsTheMenuDownAndReportsTheError) {
    menu->AddItem(L"open1", nullptr, L"甲", 0, 0);
    const HMENU h = menu->hwnd();
    const auto hooked = ::GetWindowLongPtrW(menuOwnerWindow(), GWLP_WNDPROC);
    ASSERT_EQ(hooked, reinterpret_cast<LONG_PTR>(&MenuWindowProc));
    try {
        menu->AddItem(L"open1", nullptr, L"乙", 0, 0);
        FAIL() << "no error";
    } catch (const MenuError& e) {
        EXPECT_EQ(e.number(), -2147220991);
        EXPECT_EQ(e.source(), L"OwnerDrawnMenu");
        EXPECT_EQ(e.description(), L"菜单项别名相同.");
    }
    EXPECT_FALSE(::IsMenu(h));
    EXPECT_EQ(menu->hwnd(), nullptr);
    EXPECT_NE(::GetWindowLongPtrW(menuOwnerWindow(), GWLP_WNDPROC), hooked);
    EXPECT_EQ(menu->GetItemText(L"open1"), L"");
    menu.reset();  // the second teardown does nothing
}

TEST_F(MenuTest, NewMenuObjectTakesOverWhateverTheOrderOfDestruction) {
    menu->AddItem(L"open1", nullptr, L"甲", 0, 0);
    const HMENU first = menu->hwnd();
    // The new object's CreateMenu before the old object goes: the old menu must go, the new
    // one must survive the old object's destruction.
    auto next =
        std::make_unique<OwnerDrawnMenu>(MenuHost{&entries, &heard, &shell, nullptr, nullptr});
    next->CreateMenu();
    EXPECT_FALSE(::IsMenu(first));
    menu.reset();
    EXPECT_TRUE(::IsMenu(next->hwnd()));
    EXPECT_EQ(::GetWindowLongPtrW(menuOwnerWindow(), GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&MenuWindowProc));
    next->AddItem(L"open1", nullptr, L"甲", 0, 0);  // ids and aliases start afresh
    EXPECT_EQ(::GetMenuItemID(next->hwnd(), 0), 0u);

    // A second CreateMenu on one object does not chain the hook to itself.
    next->CreateMenu();
    EXPECT_EQ(::GetMenuItemCount(next->hwnd()), 0);
    next.reset();
    EXPECT_NE(::GetWindowLongPtrW(menuOwnerWindow(), GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&MenuWindowProc));
    EXPECT_EQ(::SendMessageW(menuOwnerWindow(), WM_NULL, 0, 0), 0);
}

TEST_F(MenuTest, SetItemStateOnlyEverAddsSystemBits) {
    menu->AddItem(L"x", nullptr, L"项", 0, MFS_GRAYED);
    menu->SetItemState(L"x", 0);
    EXPECT_EQ(menu->GetItemState(L"x"), 0);
    EXPECT_EQ(::GetMenuState(menu->hwnd(), 0, MF_BYCOMMAND) & MFS_GRAYED, MFS_GRAYED);
    menu->SetItemState(L"x", MFS_CHECKED);
    EXPECT_EQ(menu->GetItemState(L"x"), MFS_CHECKED);
    EXPECT_EQ(::GetMenuState(menu->hwnd(), 0, MF_BYCOMMAND) & (MFS_GRAYED | MFS_CHECKED),
              MFS_GRAYED | MFS_CHECKED);
}

TEST_F(MenuTest, CommandOpensTheItemsEntryAndRunsItsAlias) {
    entries.map = {L"a.lnk", L"b.url", L""};
    menu->AddItem(L"open1", nullptr, L"a", 0, 0);
    menu->AddItem(L"open2", nullptr, L"b", 0, 0);
    menu->AddItem(L"check", nullptr, L"勾", MFT_RADIOCHECK, 0);
    menu->AddItem(L"exit", nullptr, L"退出", 0, 0);

    command(1);
    command(0);
    command(7);  // no such item
    EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\启动\\b.url", L"C:\\启动\\a.lnk"}));

    command(2);  // entry 3 is the closing marker: nothing to open
    EXPECT_EQ(menu->GetItemState(L"check"), MFS_CHECKED);
    command(2);
    EXPECT_EQ(menu->GetItemState(L"check"), 0);
    EXPECT_EQ(shell.opened.size(), 2u);

    EXPECT_EQ(unloads, 0);
    command(3);
    EXPECT_EQ(unloads, 1);
}

// The system's own menu loop: measuring, drawing, selection and the posted command.
TEST_F(MenuTest, PopupMenuRunsTheChosenItemAfterItCloses) {
    entries.map = {L"a.lnk", L"b.url", L""};
    menu->AddItem(L"open1", nullptr, L"第一项", 0, 0);
    menu->AddItem(L"open2", nullptr, L"第二项", 0, 0);
    menu->Style(1);
    ::SetCursorPos(5, 5);  // away from the menu, so hovering selects nothing

    static HWND target;
    static int ticks;
    target = menuOwnerWindow();
    ticks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        // Down, Down, Return once the menu is up; and never hang the run.
        static const WPARAM keys[] = {VK_DOWN, VK_DOWN, VK_RETURN};
        ++ticks;
        if (ticks >= 3 && ticks < 6) ::PostMessageW(target, WM_KEYDOWN, keys[ticks - 3], 0);
        if (ticks == 40) ::EndMenu();
    });
    menu->PopupMenu(700, 200, 0);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(shell.opened.empty()) << "the command arrives after the menu has closed";

    const DWORD until = ::GetTickCount() + 2000;
    MSG msg;
    while (shell.opened.empty() && ::GetTickCount() < until) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(10);
    }
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{L"C:\\启动\\b.url"});
    // The menu told its host of the selections and of the items the keys moved away from.
    EXPECT_NE(std::find(heard.log.begin(), heard.log.end(), "selected"), heard.log.end());
    EXPECT_NE(std::find(heard.log.begin(), heard.log.end(), "left"), heard.log.end());
}

}  // namespace
}  // namespace replybar::menu
