// The launcher build, shell icons and the icon conversion against Wine's shell and GDI.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <vector>

#include "launch/icon_convert_win32.h"
#include "launch/launch_map.h"
#include "launch/launcher_win32.h"
#include "launch/shell_icon_win32.h"
#include "menu_test_support.h"

namespace replybar::launch {
namespace {

using menu::Canvas;
using testing::RecordingShell;
using testing::RecordingTimers;
using testing::TempFolder;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// ---- icon conversion -------------------------------------------------------------------------

// An icon's mask and colour image, pixel by pixel (0x00RRGGBB as GetDIBits gives them).
struct IconBits {
    std::vector<DWORD> mask, color;
    bool transparent(int x, int y) const { return (mask[y * 32 + x] & 0xFFFFFF) == 0xFFFFFF; }
    COLORREF colorAt(int x, int y) const {
        const DWORD v = color[y * 32 + x];
        return RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
    }
};

std::vector<DWORD> readBits(HBITMAP bitmap) {
    std::vector<DWORD> bits(32 * 32);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = -32;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    const HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, 32, bits.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return bits;
}

IconBits readIcon(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return {};
    IconBits bits{readBits(info.hbmMask), readBits(info.hbmColor)};
    ::DeleteObject(info.hbmMask);
    ::DeleteObject(info.hbmColor);
    return bits;
}

void fill(Canvas& c, RECT r, COLORREF color) {
    const win::UniqueBrush brush{::CreateSolidBrush(color)};
    ::FillRect(c.dc(), &r, brush.get());
}

HICON convertedIcon(IconCanvases& c) {
    convertPictureToIcon(c);
    return reinterpret_cast<HICON>(menu::pictureHandle(c.picture22));
}

// The key colour is Picture11's top-left pixel: exactly the pixels of that colour turn
// transparent (and black in the colour image); every other pixel, black included, stays.
TEST(IconConvertTest, KeyColourDecidesTransparency) {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    struct Probe {
        int x, y;
        bool transparent;
        COLORREF color;
    };
    struct Case {
        const char* what;
        std::vector<std::pair<RECT, COLORREF>> paint;  // in order, over the whole canvas first
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        {"transparent corner: the canvas background is the key",
         {{{0, 0, 32, 32}, face}, {{8, 8, 24, 24}, kRed}, {{4, 4, 6, 6}, kBlack}},
         {{0, 0, true, kBlack},
          {31, 31, true, kBlack},
          {10, 10, false, kRed},
          {5, 5, false, kBlack}}},
        {"opaque corner: its colour goes wherever it is",
         {{{0, 0, 32, 32}, kGreen}, {{0, 0, 2, 2}, kRed}, {{16, 16, 20, 20}, kRed}},
         {{0, 0, true, kBlack}, {17, 17, true, kBlack}, {8, 8, false, kGreen}}},
        {"blank canvas: nothing is left",
         {{{0, 0, 32, 32}, face}},
         {{0, 0, true, kBlack}, {16, 16, true, kBlack}, {31, 0, true, kBlack}}},
    };
    for (const Case& c : cases) {
        IconCanvases canvases;
        for (const auto& [rect, color] : c.paint) fill(canvases.picture11, rect, color);
        const HICON icon = convertedIcon(canvases);
        ASSERT_NE(icon, nullptr) << c.what;
        const IconBits bits = readIcon(icon);
        ASSERT_EQ(bits.mask.size(), 1024u) << c.what;
        for (const Probe& p : c.probes) {
            EXPECT_EQ(bits.transparent(p.x, p.y), p.transparent)
                << c.what << " " << p.x << "," << p.y;
            EXPECT_EQ(bits.colorAt(p.x, p.y), p.color) << c.what << " " << p.x << "," << p.y;
        }
        // Drawn, the background shows through exactly where the key colour was.
        testing::Surface s(32, 32, RGB(0, 0, 255));
        ::DrawIconEx(s.dc(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
        for (const Probe& p : c.probes)
            EXPECT_EQ(s.at(p.x, p.y), p.transparent ? RGB(0, 0, 255) : p.color) << c.what;
    }
}

TEST(IconShellTest, PaintsTheShellIconOfAFileName) {
    TempFolder folder;  // the file need not exist: the name and type are enough
    IconCanvases c;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    loadShellIcon(c.picture1, folder.withSlash() + L"说明.txt");
    int painted = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) painted += c.picture1.pixel(x, y) != face;
    EXPECT_GT(painted, 20);

    enlargeIcon(c.picture1, c.picture11);
    const IconBits bits = readIcon(convertedIcon(c));
    ASSERT_EQ(bits.mask.size(), 1024u);
    EXPECT_TRUE(bits.transparent(0, 0));
    EXPECT_TRUE(std::any_of(bits.mask.begin(), bits.mask.end(),
                            [](DWORD m) { return (m & 0xFFFFFF) == 0; }));

    // The list's end asks for the folder path itself: drawn or not, nothing breaks.
    loadShellIcon(c.picture1, folder.withSlash());
}

// ---- the launcher build ----------------------------------------------------------------------

class LaunchBuildTest : public ::testing::Test {
protected:
    LauncherContext context() {
        return {menu::MenuHost{&state, &timers, &shell, nullptr, nullptr}, nullptr};
    }
    void build() { buildLauncherMenu(context(), launcherMenu); }

    int itemCount() const { return ::GetMenuItemCount(launcherMenu->hwnd()); }
    const menu::MenuItem& item(int id) const { return *launcherMenu->items().record(id); }
    void choose(int id) { ::SendMessageW(menu::frmMenuWindow(), WM_COMMAND, id, 0); }

    TempFolder folder;
    BarState state;
    RecordingTimers timers;
    RecordingShell shell;
    std::unique_ptr<menu::cMenu> launcherMenu;
};

TEST_F(LaunchBuildTest, ListsNormalFilesWithCaptionsIconsAndTheirEntries) {
    for (const wchar_t* name : {L"a.lnk", L"b.url", L"notes.txt", L"LICENSE"}) folder.touch(name);
    folder.touch(L"desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    folder.touch(L"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    folder.mkdir(L"sub");
    state.launchFolder = folder.withSlash();
    build();

    ASSERT_EQ(itemCount(), 4);
    std::set<std::wstring> texts;
    for (int id = 0; id < 4; ++id) {
        const menu::MenuItem& r = item(id);
        texts.insert(r.itemText);
        EXPECT_EQ(r.itemAlias, L"open" + std::to_wstring(id + 1));
        EXPECT_NE(menu::pictureHandle(r.itemIcon), 0u) << id;
        // The map ties the item to the file it was made from, in listing order.
        const auto name = resolveLaunchEntry(state.launchMap, id + 1);
        ASSERT_TRUE(name) << state.launchMap.size();
        EXPECT_EQ(launcherCaption(*name), r.itemText);
        choose(id);
        EXPECT_EQ(shell.opened.back(), folder.withSlash() + *name);
    }
    EXPECT_EQ(texts, (std::set<std::wstring>{L"a", L"b", L"notes.txt", L"LICENSE"}));
    EXPECT_EQ(state.launchMap.substr(state.launchMap.size() - 3), L"*5*");
    EXPECT_EQ(std::count(state.launchMap.begin(), state.launchMap.end(), L'*'), 10);
    EXPECT_EQ(launcherMenu->Style(), 1);
    EXPECT_EQ(launcherMenu->SeparatorColor(), RGB(192, 192, 192));
}

// Nothing to offer is said by one grey item that opens nothing; an empty setting lists nothing
// (not the working folder).
TEST_F(LaunchBuildTest, MissingOrEmptyFolderGivesOneGreyItem) {
    const struct {
        std::wstring folder;
        const wchar_t* text;
    } cases[] = {{folder.withSlash(), L"（空）"},
                 {L"", L"（空）"},
                 {folder.withSlash() + L"没有\\", L"（找不到文件夹）"},
                 {L"Q:\\no\\such\\drive\\", L"（找不到文件夹）"},
                 {L"bad<>|name\\", L"（找不到文件夹）"}};
    for (const auto& c : cases) {
        state.launchFolder = c.folder;
        build();
        ASSERT_TRUE(launcherMenu);
        EXPECT_TRUE(::IsMenu(launcherMenu->hwnd()));
        ASSERT_EQ(itemCount(), 1) << c.text;
        EXPECT_EQ(item(0).itemText, c.text);
        EXPECT_EQ(::GetMenuState(launcherMenu->hwnd(), 0, MF_BYPOSITION) & MF_DISABLED, MF_DISABLED);
        EXPECT_EQ(state.launchMap, L"*1*");
        EXPECT_EQ(launcherMenu->Style(), 1);
        choose(0);
        EXPECT_TRUE(shell.opened.empty());
    }
}

// A folder typed without its backslash lists its files, not itself.
TEST_F(LaunchBuildTest, AFolderWithoutItsBackslashListsItsFiles) {
    folder.touch(L"a.txt");
    std::wstring typed = folder.withSlash();
    typed.pop_back();
    state.launchFolder = typed;
    build();
    ASSERT_EQ(itemCount(), 1);
    EXPECT_EQ(item(0).itemText, L"a.txt");
    choose(0);
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{folder.withSlash() + L"a.txt"});
}

TEST_F(LaunchBuildTest, BlankCaptionKeepsItsEntryAndLaterItemsStayInStep) {
    folder.touch(L" .lnk");
    folder.touch(L"z.txt");
    state.launchFolder = folder.withSlash();
    build();
    ASSERT_EQ(itemCount(), 1);
    EXPECT_EQ(item(0).itemText, L"z.txt");
    choose(0);
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{folder.withSlash() + L"z.txt"});
}

TEST_F(LaunchBuildTest, CapOf150EntriesAndRebuildsThatLeakNothing) {
    for (int i = 0; i < 160; ++i) folder.touch(L"file" + std::to_wstring(i) + L".txt");
    state.launchFolder = folder.withSlash();
    build();
    const HMENU first = launcherMenu->hwnd();
    ASSERT_EQ(itemCount(), 150);
    EXPECT_EQ(launcherMenu->Style(), 0) << "a capped build keeps preset 0";
    EXPECT_EQ(state.launchMap.substr(state.launchMap.size() - 5), L"*151*");
    const auto last = resolveLaunchEntry(state.launchMap, 150);
    ASSERT_TRUE(last);
    choose(149);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], folder.withSlash() + *last);

    // Down to 149 files: everything fits, the list is closed by entry 150 and preset 1 applies.
    for (int i = 0; i < 160; ++i)
        if (i == 0 || i >= 150) folder.remove(L"file" + std::to_wstring(i) + L".txt");
    build();
    EXPECT_FALSE(::IsMenu(first)) << "the old menu goes with the old object";
    ASSERT_EQ(itemCount(), 149);
    EXPECT_EQ(state.launchMap.substr(state.launchMap.size() - 5), L"*150*");
    EXPECT_EQ(launcherMenu->Style(), 1);

    folder.touch(L"file0.txt");  // 150 again, and rebuilt over and over
    build();
    const int before = testing::gdiObjectCount();
    ASSERT_GT(before, 0);
    constexpr int kRebuilds = 100;
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < kRebuilds; ++i) build();
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(testing::gdiObjectCount(), before);
    EXPECT_EQ(itemCount(), 150);
    std::printf("%d builds of 150 entries: %lld ms\n", kRebuilds,
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
}

}  // namespace
}  // namespace replybar::launch
