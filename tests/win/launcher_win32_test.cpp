// The launcher build, shell icons and the icon conversion against Wine's shell and GDI.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <future>
#include <map>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "launch/icon_convert_win32.h"
#include "controls/launch_map.h"
#include "launch/launcher_build_win32.h"
#include "launch/launcher_win32.h"
#include "launch/own_icon_win32.h"
#include "launch/shell_icon_win32.h"
#include "menu_test_support.h"

namespace replybar::launch {
namespace {

using menu::Canvas;
using testing::RecordingMenuEvents;
using testing::RecordingShell;
using testing::TempFolder;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// ---- icon conversion -------------------------------------------------------------------------

// An icon's mask and colour image, pixel by pixel (0x00RRGGBB as GetDIBits gives them).
struct IconBits {
    std::vector<DWORD> mask, color;
    int size = 32;
    bool transparent(int x, int y) const { return (mask[y * size + x] & 0xFFFFFF) == 0xFFFFFF; }
    COLORREF colorAt(int x, int y) const {
        const DWORD v = color[y * size + x];
        return RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
    }
};

int bitmapWidth(HBITMAP bitmap) {
    BITMAP b{};
    return ::GetObjectW(bitmap, sizeof b, &b) ? b.bmWidth : 0;
}

// A square bitmap's pixels.
std::vector<DWORD> readBits(HBITMAP bitmap) {
    const int size = bitmapWidth(bitmap);
    std::vector<DWORD> bits(static_cast<std::size_t>(size) * size);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = -size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    const HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(size), bits.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return bits;
}

IconBits readIcon(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return {};
    IconBits bits{readBits(info.hbmMask), readBits(info.hbmColor), bitmapWidth(info.hbmColor)};
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
    return reinterpret_cast<HICON>(menu::pictureHandle(c.menuIcon));
}

// The key colour is the enlarged icon's top-left pixel: exactly the pixels of that colour turn
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
        for (const auto& [rect, color] : c.paint) fill(canvases.enlargedIcon, rect, color);
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

// Where the system's small icons are 20, 24 or 32 px (125 % to 200 % without scaling by
// Windows) the icon canvas takes that size: the shell icon's right side and bottom survive the
// conversion, into an icon twice the size with its hot spot in the middle.
TEST(IconConvertTest, CanvasesFollowTheSmallIconSize) {
    for (const int size : {16, 20, 24, 32}) {
        IconCanvases c(size);
        fill(c.smallIcon, {0, 0, size, size}, ::GetSysColor(COLOR_BTNFACE));
        fill(c.smallIcon, {size - 3, size - 3, size, size}, kRed);  // the bottom-right corner
        enlargeIcon(c.smallIcon, c.enlargedIcon);
        const HICON icon = convertedIcon(c);
        ASSERT_NE(icon, nullptr) << size;
        const IconBits bits = readIcon(icon);
        ASSERT_EQ(bits.size, 2 * size);
        ASSERT_EQ(bits.mask.size(), static_cast<std::size_t>(4 * size * size));
        EXPECT_TRUE(bits.transparent(0, 0)) << size;
        EXPECT_FALSE(bits.transparent(2 * size - 1, 2 * size - 1)) << size;
        EXPECT_EQ(bits.colorAt(2 * size - 1, 2 * size - 1), kRed) << size;
        EXPECT_TRUE(bits.transparent(2 * size - 7, 2 * size - 7)) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        ::DeleteObject(info.hbmMask);
        ::DeleteObject(info.hbmColor);
        EXPECT_EQ(info.xHotspot, static_cast<DWORD>(size)) << size;
    }
}

TEST(IconShellTest, PaintsTheShellIconOfAFileName) {
    TempFolder folder;  // the file need not exist: the name and type are enough
    IconCanvases c;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    loadShellIcon(c.smallIcon, folder.withSlash() + L"说明.txt");
    int painted = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) painted += c.smallIcon.pixel(x, y) != face;
    EXPECT_GT(painted, 20);

    enlargeIcon(c.smallIcon, c.enlargedIcon);
    const IconBits bits = readIcon(convertedIcon(c));
    ASSERT_EQ(bits.mask.size(), 1024u);
    EXPECT_TRUE(bits.transparent(0, 0));
    EXPECT_TRUE(std::any_of(bits.mask.begin(), bits.mask.end(),
                            [](DWORD m) { return (m & 0xFFFFFF) == 0; }));

    // The list's end asks for the folder path itself: drawn or not, nothing breaks.
    loadShellIcon(c.smallIcon, folder.withSlash());
}

// ---- the launcher build ----------------------------------------------------------------------

class LaunchBuildTest : public ::testing::Test {
protected:
    LauncherContext context() {
        return {menu::MenuHost{&entries, &heard, &shell, nullptr, nullptr}, nullptr};
    }
    void build() { buildLauncherMenu(context(), launcherMenu); }

    int itemCount() const { return ::GetMenuItemCount(launcherMenu->hwnd()); }
    const menu::MenuItem& item(int id) const { return *launcherMenu->items().record(id); }
    void choose(int id) { ::SendMessageW(menu::menuOwnerWindow(), WM_COMMAND, id, 0); }

    TempFolder folder;
    launch::LaunchEntries entries;
    RecordingMenuEvents heard;
    RecordingShell shell;
    std::unique_ptr<menu::OwnerDrawnMenu> launcherMenu;
};

TEST_F(LaunchBuildTest, ListsNormalFilesWithCaptionsIconsAndTheirEntries) {
    for (const wchar_t* name : {L"a.lnk", L"b.url", L"notes.txt", L"LICENSE"}) folder.touch(name);
    folder.touch(L"desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    folder.touch(L"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    folder.mkdir(L"sub");
    entries.folder = folder.withSlash();
    build();

    ASSERT_EQ(itemCount(), 4);
    std::set<std::wstring> texts;
    for (int id = 0; id < 4; ++id) {
        const menu::MenuItem& r = item(id);
        texts.insert(r.itemText);
        EXPECT_EQ(r.itemAlias, L"open" + std::to_wstring(id + 1));
        EXPECT_NE(menu::pictureHandle(r.itemIcon), 0u) << id;
        // The map ties the item to the file it was made from, in listing order.
        const auto name = resolveLaunchEntry(entries.map, id + 1);
        ASSERT_TRUE(name) << entries.map.size();
        EXPECT_EQ(launcherCaption(*name), r.itemText);
        choose(id);
        EXPECT_EQ(shell.opened.back(), folder.withSlash() + *name);
    }
    EXPECT_EQ(texts, (std::set<std::wstring>{L"a", L"b", L"notes.txt", L"LICENSE"}));
    ASSERT_EQ(entries.map.size(), 5u);  // four files and the empty name that closes them
    EXPECT_EQ(resolveLaunchEntry(entries.map, 5), L"");
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
        entries.folder = c.folder;
        build();
        ASSERT_TRUE(launcherMenu);
        EXPECT_TRUE(::IsMenu(launcherMenu->hwnd()));
        ASSERT_EQ(itemCount(), 1) << c.text;
        EXPECT_EQ(item(0).itemText, c.text);
        EXPECT_EQ(::GetMenuState(launcherMenu->hwnd(), 0, MF_BYPOSITION) & MF_DISABLED, MF_DISABLED);
        EXPECT_EQ(entries.map, LaunchMap{L""});
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
    entries.folder = typed;
    build();
    ASSERT_EQ(itemCount(), 1);
    EXPECT_EQ(item(0).itemText, L"a.txt");
    choose(0);
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{folder.withSlash() + L"a.txt"});
}

TEST_F(LaunchBuildTest, BlankCaptionKeepsItsEntryAndLaterItemsStayInStep) {
    folder.touch(L" .lnk");
    folder.touch(L"z.txt");
    entries.folder = folder.withSlash();
    build();
    ASSERT_EQ(itemCount(), 1);
    EXPECT_EQ(item(0).itemText, L"z.txt");
    choose(0);
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{folder.withSlash() + L"z.txt"});
}

TEST_F(LaunchBuildTest, CapOf150EntriesAndRebuildsThatLeakNothing) {
    for (int i = 0; i < 160; ++i) folder.touch(L"file" + std::to_wstring(i) + L".txt");
    entries.folder = folder.withSlash();
    build();
    const HMENU first = launcherMenu->hwnd();
    ASSERT_EQ(itemCount(), 150);
    EXPECT_EQ(launcherMenu->Style(), 0) << "a capped build keeps preset 0";
    ASSERT_EQ(entries.map.size(), 151u);  // closed by an empty entry 151
    EXPECT_EQ(entries.map.back(), L"");
    const auto last = resolveLaunchEntry(entries.map, 150);
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
    ASSERT_EQ(entries.map.size(), 150u);
    EXPECT_EQ(entries.map.back(), L"");
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


// ---- each entry's own icon ------------------------------------------------------------------

// A shortcut at `link` to `target`, naming `iconFile`,`iconIndex` when given.
bool makeShortcut(const std::wstring& link, const std::wstring& target,
                  const std::wstring& iconFile = L"", int iconIndex = 0) {
    IShellLinkW* shortcut = nullptr;
    IPersistFile* file = nullptr;
    const bool made =
        SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&shortcut))) &&
        SUCCEEDED(shortcut->SetPath(target.c_str())) &&
        (iconFile.empty() || SUCCEEDED(shortcut->SetIconLocation(iconFile.c_str(), iconIndex))) &&
        SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Save(link.c_str(), TRUE));
    if (file) file->Release();
    if (shortcut) shortcut->Release();
    return made;
}

std::wstring thisProgram() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// The shell's type icons are the same for every program and every shortcut; each entry now shows
// its own: this test program carries two icons of its own (win_tests.rc), an empty .exe none.
TEST_F(LaunchBuildTest, EachEntryShowsItsOwnIcon) {
    TempFolder targets;
    const std::wstring t = targets.withSlash(), f = folder.withSlash();
    ASSERT_TRUE(::CopyFileW(thisProgram().c_str(), (t + L"prog.exe").c_str(), FALSE));
    targets.touch(L"empty.exe");
    targets.touch(L"doc.txt");
    ::CopyFileW(thisProgram().c_str(), (f + L"prog.exe").c_str(), FALSE);
    folder.touch(L"bare.exe");
    folder.touch(L"notes.txt");
    ASSERT_TRUE(makeShortcut(f + L"to prog.lnk", t + L"prog.exe"));
    ASSERT_TRUE(makeShortcut(f + L"named.lnk", t + L"empty.exe", t + L"prog.exe", 1));
    ASSERT_TRUE(makeShortcut(f + L"to empty.lnk", t + L"empty.exe"));
    ASSERT_TRUE(makeShortcut(f + L"to doc.lnk", t + L"doc.txt"));
    entries.folder = f;
    build();
    std::map<std::wstring, HICON> icon;  // by caption
    for (int id = 0; id < itemCount(); ++id)
        icon[item(id).itemText] = reinterpret_cast<HICON>(menu::pictureHandle(item(id).itemIcon));
    ASSERT_EQ(icon.size(), 7u);
    const auto looks = [&](const wchar_t* caption) { return readIcon(icon[caption]).color; };
    const struct {
        const wchar_t *a, *b;
        bool same;
        const char* why;
    } cases[] = {
        {L"prog.exe", L"to prog", true, "a shortcut shows its program's icon"},
        {L"prog.exe", L"bare.exe", false, "a program's own icon is not the type's"},
        {L"named", L"to prog", false, "a shortcut shows the icon it names"},
        {L"to empty", L"bare.exe", true, "a program without icons shows the program type's"},
        {L"to doc", L"notes.txt", true, "a shortcut to a document shows its type's"},
    };
    for (const auto& c : cases) EXPECT_EQ(looks(c.a) == looks(c.b), c.same) << c.why;
    // Type icons are still converted once for all their entries.
    EXPECT_EQ(icon[L"to doc"], icon[L"notes.txt"]);

    const int before = testing::gdiObjectCount();
    for (int i = 0; i < 5; ++i) build();
    EXPECT_EQ(testing::gdiObjectCount(), before);
}

// A file that does not answer (a network drive gone) holds the menu for the budget only: it and
// the entries after it keep their type icons, those read before it have their own.
TEST_F(LaunchBuildTest, AFileThatDoesNotAnswerKeepsItsTypeIcon) {
    const std::wstring f = folder.withSlash();
    for (const wchar_t* name : {L"a.lnk", L"b.lnk", L"c.lnk"})
        ASSERT_TRUE(makeShortcut(f + name, thisProgram()));
    folder.touch(L"d.lnk");  // unreadable: the shortcut type's icon
    std::promise<void> gate;
    OwnIconReading reading;
    reading.budget = std::chrono::milliseconds(300);
    reading.read = [opened = gate.get_future().share()](const std::wstring& path) {
        if (path.find(L"b.lnk") != std::wstring::npos) opened.wait();
        return readEntryIcon(path);
    };
    const LaunchListing listing{{L"a.lnk", L"b.lnk", L"c.lnk", L"d.lnk"}, true};
    const auto started = std::chrono::steady_clock::now();
    LauncherContent content =
        gatherLauncherContent(f, [&](const std::wstring&, std::size_t) { return listing; }, reading);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1500));
    gate.set_value();
    const auto looks = [&](std::size_t entry) {
        return readIcon(content.icons.at(static_cast<std::size_t>(content.iconOf.at(entry))).get()).color;
    };
    EXPECT_NE(looks(0), looks(3)) << "a.lnk was read in time";
    EXPECT_EQ(looks(1), looks(3)) << "b.lnk did not answer";
    EXPECT_EQ(looks(2), looks(3)) << "c.lnk came after the budget";
}

// ---- the build off the bar's thread ----------------------------------------------------------

// A launch folder on a drive that does not answer: every folder's listing blocks until the test
// opens its gate. (Wine cannot make a real share hang, so the listing is faked.)
class FolderGates {
public:
    LaunchListing list(const std::wstring& folder) {
        std::unique_lock<std::mutex> lock(mutex_);
        listed_.push_back(folder);
        maxBusy_ = std::max(maxBusy_, ++busy_);
        changed_.wait(lock, [&] { return open_.count(folder) != 0; });
        --busy_;
        return {{folder + L".txt"}, true};
    }
    void open(const std::wstring& folder) {
        const std::lock_guard<std::mutex> lock(mutex_);
        open_.insert(folder);
        changed_.notify_all();
    }
    std::vector<std::wstring> listed() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return listed_;
    }
    int maxBusy() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return maxBusy_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::set<std::wstring> open_;
    std::vector<std::wstring> listed_;
    int busy_ = 0, maxBusy_ = 0;
};

// Pumps this thread's messages, as the bar's loop does, until `done` or the time is up.
template <typename Done>
bool pumpUntil(Done done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(5);
    }
    return true;
}

class BackgroundBuildTest : public ::testing::Test {
protected:
    std::unique_ptr<BackgroundLauncherBuild> make(unsigned patienceMs) {
        BackgroundLauncherBuild::Options options;
        options.lister = [gates = gates](const std::wstring& folder, std::size_t) {
            return gates->list(folder);
        };
        options.patienceMs = patienceMs;
        return std::make_unique<BackgroundLauncherBuild>(
            queue, [this](LauncherContent c) {
                shown.push_back(c.answered ? c.listing.names.at(0) : L"(" + c.folder + L")");
            },
            options);
    }
    static long long msSince(std::chrono::steady_clock::time_point t) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - t)
            .count();
    }

    win::UiQueue queue;
    std::shared_ptr<FolderGates> gates = std::make_shared<FolderGates>();
    std::vector<std::wstring> shown;  // "name" of a listing, "(folder)" for the stand-in
};

// The bar's thread never waits for the folder: a folder silent past the patience shows as
// missing, and its real content follows when it answers.
TEST_F(BackgroundBuildTest, ASilentFolderNeverHoldsTheBarsThread) {
    auto build = make(300);
    const auto started = std::chrono::steady_clock::now();
    build->start(L"S");
    EXPECT_LT(msSince(started), 100);
    ASSERT_TRUE(pumpUntil([&] { return !shown.empty(); }, 3000));
    EXPECT_GE(msSince(started), 250);
    EXPECT_EQ(shown, std::vector<std::wstring>{L"(S)"});
    EXPECT_TRUE(build->pending());
    gates->open(L"S");
    ASSERT_TRUE(pumpUntil([&] { return shown.size() == 2; }, 3000));
    EXPECT_EQ(shown.back(), L"S.txt");
    EXPECT_FALSE(build->pending());
    EXPECT_EQ(build->workersAlive(), 0u);
}

// Rebuilds asked for while folders hang: at most two workers, a request that was overtaken
// before it ran is never listed, and only the latest request is shown.
TEST_F(BackgroundBuildTest, RebuildsNeitherPileUpNorShowAStaleFolder) {
    auto build = make(60000);
    for (const wchar_t* folder : {L"A", L"B", L"C", L"D"}) build->start(folder);
    EXPECT_EQ(build->workersAlive(), 2u);
    gates->open(L"B");  // B ends: D, the latest, takes its place; B's result is stale
    ASSERT_TRUE(pumpUntil([&] { return gates->listed().size() == 3; }, 3000));
    gates->open(L"A");
    gates->open(L"C");
    ASSERT_TRUE(pumpUntil([&] { return build->workersAlive() == 1; }, 3000));
    EXPECT_TRUE(shown.empty());
    gates->open(L"D");
    ASSERT_TRUE(pumpUntil([&] { return !shown.empty(); }, 3000));
    pumpUntil([] { return false; }, 100);
    EXPECT_EQ(shown, std::vector<std::wstring>{L"D.txt"});
    std::vector<std::wstring> listed = gates->listed();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"A", L"B", L"D"}));
    EXPECT_LE(gates->maxBusy(), 2);
}

// The bar closing while a folder hangs: no wait, and the worker that ends later touches nothing
// of the bar.
TEST_F(BackgroundBuildTest, ClosingWhileAFolderHangsNeitherWaitsNorCrashes) {
    auto build = make(60000);
    build->start(L"H");
    const auto started = std::chrono::steady_clock::now();
    build.reset();
    EXPECT_LT(msSince(started), 100);
    gates->open(L"H");
    pumpUntil([] { return false; }, 300);
    EXPECT_TRUE(shown.empty());
}

// The worker's content makes the same menu as a build on the bar's thread.
TEST_F(LaunchBuildTest, ContentGatheredOnAWorkerFillsTheMenu) {
    for (const wchar_t* name : {L"a.lnk", L"b.txt", L"c.txt"}) folder.touch(name);
    entries.folder = folder.withSlash();
    LauncherContent content;
    std::thread([&] {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        content = gatherLauncherContent(entries.folder, listLaunchFolder);
        ::CoUninitialize();
    }).join();
    ASSERT_EQ(content.iconOf.size(), 3u);
    EXPECT_EQ(content.iconOf[1], content.iconOf[2]) << "one icon per file type";
    fillLauncherMenu(context(), std::move(content), launcherMenu);
    ASSERT_EQ(itemCount(), 3);
    for (int id = 0; id < 3; ++id) EXPECT_NE(menu::pictureHandle(item(id).itemIcon), 0u);
    EXPECT_EQ(launcherMenu->Style(), 1);
}

}  // namespace
}  // namespace replybar::launch
