// Start-up of ReplyBar.exe, from CreateProcess to its first visible window, against the smallest
// Win32 program that shows a topmost tool window (bare_window.exe), launched alternately by this
// one program under one wineserver; then the reply panel from the hotkey's press to its pixels on
// the screen, against bare_window.exe opening on the same hotkey to a picture of the panel's
// size drawn beforehand, in the bar's own window region; then the bar's peak working set
// at rest, after 100 launcher rebuilds and after 200 reply panel opens.
#include "launch_support.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace bench;

// Three replies for the panel, in the bar's data folder, as the store writes them.
void seedReplies() {
    wchar_t appData[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    for (int i = 0; i < 3; ++i) {
        const std::wstring path = std::wstring(appData) + L"\\" + std::to_wstring(i) + L".txt";
        HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(f, "reply\r\n", 7, &written, nullptr);
        ::CloseHandle(f);
    }
}

RECT windowRect(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return r;
}

// The rectangles of a window's region, in window coordinates; none without a region.
std::vector<RECT> windowRegion(HWND w) {
    std::vector<RECT> rects;
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    if (::GetWindowRgn(w, rgn) != ERROR) {
        std::vector<char> data(::GetRegionData(rgn, 0, nullptr));
        auto* rd = reinterpret_cast<RGNDATA*>(data.data());
        if (!data.empty() && ::GetRegionData(rgn, static_cast<DWORD>(data.size()), rd)) {
            const RECT* r = reinterpret_cast<const RECT*>(rd->Buffer);
            rects.assign(r, r + rd->rdh.nCount);
        }
    }
    ::DeleteObject(rgn);
    return rects;
}

// Launches `exe`, presses the hotkey once to learn where the panel opens and the colour of a
// pixel in it open and closed (the first opening also pays for what is loaded on first use),
// then times `rounds` openings from the press to that pixel on the screen. `closed` and `open`
// are the window's rectangles, `region` its region while open.
bool timeOpenings(const std::wstring& exe, const wchar_t* windowClass, const std::wstring& args,
                  int rounds, std::vector<double>& ms, RECT& closed, RECT& open,
                  std::vector<RECT>& region) {
    Launched l = launch(exe, windowClass, args);
    ::Sleep(1000);  // the bar takes its hotkey after start-up
    closed = windowRect(l.window);
    const auto start = Clock::now();
    pressHotkey();
    while (::EqualRect(&(open = windowRect(l.window)), &closed) &&
           Clock::now() - start < std::chrono::seconds(5))
        ::Sleep(1);
    // In the panel, beside the bar face, at its left edge: the bar's icon strip.
    const POINT p{open.left + 1, open.top < closed.top ? (open.top + closed.top) / 2
                                                       : (closed.bottom + open.bottom) / 2};
    ::Sleep(500);
    const COLORREF opened = screenPixel(p);
    region = windowRegion(l.window);
    pressHotkey();
    ::Sleep(500);
    const COLORREF shut = screenPixel(p);
    bool ok = opened != shut;
    for (int r = 0; ok && r < rounds; ++r) {
        const auto t0 = Clock::now();
        pressHotkey();
        const double opening = waitForPixel(p, opened, t0);
        ms.push_back(opening);
        pressHotkey();
        ok = opening >= 0 && waitForPixel(p, shut, Clock::now()) >= 0;
        ::Sleep(200);
    }
    close(l);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 15;
    const std::wstring bar = besideMe(L"ReplyBar.exe"), bare = besideMe(L"bare_window.exe");
    seedReplies();
    // One of each first: neither side pays for the system's first load of its files.
    for (const auto& [exe, cls] : {std::pair{bare, L"ReplyBar.Bare"}, {bar, L"ReplyBar.Bar"}}) {
        Launched l = launch(exe, cls);
        close(l);
    }
    std::vector<double> barMs, bareMs;
    for (int r = 0; r < rounds; ++r) {  // alternating, so both see the same machine
        for (int k = 0; k < 2; ++k) {
            const bool barFirst = (r + k) % 2 == 0;
            Launched l = barFirst ? launch(bar, L"ReplyBar.Bar") : launch(bare, L"ReplyBar.Bare");
            (barFirst ? barMs : bareMs).push_back(l.ms);
            close(l);
            ::Sleep(300);  // the closed one's last work is done before the next starts
        }
    }
    if (const char* all = std::getenv("REPLYBAR_BENCH_SAMPLES"); all && *all == '1')
        for (std::size_t i = 0; i < barMs.size(); ++i)
            std::printf("  %.1f %.1f\n", barMs[i], i < bareMs.size() ? bareMs[i] : 0.0);
    const double a = median(barMs), b = median(bareMs);
    std::printf("start-up: ReplyBar %.1f ms, bare window %.1f ms (median of %d), ratio %.2f "
                "(goal <= 1.10)\n", a, b, rounds, b > 0 ? a / b : 0.0);

    // Hotkey to panel: a few openings per launch, the bar's and the bare window's launches
    // alternating in turn, as above; the bare window opens where the bar's panel did, in the
    // region the bar's window had.
    std::vector<double> barOpen, bareOpen;
    RECT closed{}, open{};
    std::vector<RECT> region, bareRegion;
    bool timed = true, sameRegion = true;
    const wchar_t* untimed = L"";
    for (int block = 0; timed && block < 8; ++block) {
        for (int k = 0; timed && k < 2; ++k) {
            if ((block + k) % 2 == 0) {
                timed = timeOpenings(bar, L"ReplyBar.Bar", L"", 4, barOpen, closed, open, region);
                if (!timed) untimed = L"ReplyBar";
                continue;
            }
            // The rectangles as the bar hands them to CreateRoundRectRgn, which leaves out their
            // right and bottom edges: one pixel wider and taller than the region's own.
            std::wstring args;
            for (const RECT& r : {closed, open})
                args += std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
                        std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom) + L" ";
            args += std::to_wstring(region.size());
            for (const RECT& r : region)
                args += L" " + std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
                        std::to_wstring(r.right + 1) + L" " + std::to_wstring(r.bottom + 1);
            RECT bareClosed{}, bareOpened{};
            timed = timeOpenings(bare, L"ReplyBar.Bare", args, 4, bareOpen, bareClosed, bareOpened,
                                 bareRegion);
            if (!timed) untimed = L"the bare window";
            sameRegion =
                sameRegion && bareRegion.size() == region.size() &&
                std::equal(region.begin(), region.end(), bareRegion.begin(),
                           [](const RECT& a, const RECT& b) { return ::EqualRect(&a, &b); });
        }
    }
    const double ho = median(barOpen), bo = median(bareOpen);
    std::printf("hotkey to panel painted: ReplyBar %.1f ms, bare window %.1f ms (median of %zu), "
                "ratio %.2f (goal <= 1.2)\n", ho, bo, barOpen.size(), bo > 0 ? ho / bo : 0.0);
    if (!timed)
        std::printf("hotkey to panel painted: a panel of %ls did not open or close\n", untimed);
    if (!sameRegion) {
        std::printf("hotkey to panel painted: the bare window's region is not the bar's:");
        for (const auto* rects : {&region, &bareRegion}) {
            std::printf(rects == &region ? "\n  bar" : "\n  bare");
            for (const RECT& r : *rects)
                std::printf(" %ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
        }
        std::printf("\n");
    }

    // The memory figures with a launch folder of 150 entries, so that every rebuild is a full one.
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"replybar-startup-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const wchar_t* kinds[] = {L".lnk", L".url", L".txt", L".exe", L".ini", L""};
    for (int i = 0; i < 150; ++i) {
        const std::wstring file = folder + L"程序" + std::to_wstring(i) + kinds[i % 6];
        ::CloseHandle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                    nullptr));
    }
    const std::wstring settings = L"2385,11565," + folder + L",about:blank";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\DAZ\\Registry", L"String3", REG_SZ,
                      settings.c_str(), static_cast<DWORD>(settings.size() * sizeof(wchar_t)));

    Launched l = launch(bar, L"ReplyBar.Bar");
    ::Sleep(1000);  // the launcher menu is built 66 ms after start-up
    const double rest = peakMb(l.process.hProcess);
    for (int i = 0; i < 100; ++i) ::SendMessageW(l.window, WM_TIMER, 1, 0);  // the build timer: a rebuild
    const double rebuilt = peakMb(l.process.hProcess);
    for (int i = 0; i < 200; ++i) {
        // A left click on the reply button opens the panel; one on the drag strip closes it.
        ::SendMessageW(l.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(87, 15));
        ::SendMessageW(l.window, WM_LBUTTONUP, 0, MAKELPARAM(87, 15));
        RECT r{};
        ::GetWindowRect(l.window, &r);
        const int faceTop = r.bottom - r.top - 29;
        ::SendMessageW(l.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(71, faceTop + 24));
        ::SendMessageW(l.window, WM_LBUTTONUP, 0, MAKELPARAM(71, faceTop + 24));
    }
    const double opened = peakMb(l.process.hProcess);
    close(l);
    for (int i = 0; i < 150; ++i)
        ::DeleteFileW((folder + L"程序" + std::to_wstring(i) + kinds[i % 6]).c_str());
    ::RemoveDirectoryW(folder.c_str());
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\DAZ\\Registry", L"String3");
    Launched baseline = launch(bare, L"ReplyBar.Bare");
    ::Sleep(1000);
    const double bareMb = peakMb(baseline.process.hProcess);
    close(baseline);
    std::printf("memory: peak working set %.1f MB at rest (bare window %.1f MB, ratio %.2f, "
                "goal <= 1.5), "
                "%.1f MB after 100 launcher rebuilds of 150 entries, %.1f MB after 200 panel "
                "opens\n", rest, bareMb, bareMb > 0 ? rest / bareMb : 0.0, rebuilt, opened);
    return timed && sameRegion ? 0 : 1;
}
