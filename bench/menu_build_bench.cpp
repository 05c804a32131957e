// Building a 150-entry launcher menu against the bare shell-icon look-ups of the same names,
// measured in the same run: the ratio is what the build adds on top of the shell's own cost.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "controls/picture_win32.h"
#include "controls/launch_map.h"
#include "launch/launcher_win32.h"

namespace {

using namespace replybar;
using Clock = std::chrono::steady_clock;

class NoShell : public IShell {
public:
    void open(const std::wstring&) override {}
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The baseline: per name one SHGetFileInfoW and one ImageList_Draw onto a 16 × 16 canvas.
void bareLookups(const std::wstring& folder, const std::vector<std::wstring>& names) {
    menu::Canvas canvas(16, 16, ::GetSysColor(COLOR_BTNFACE));
    for (const std::wstring& name : names) {
        SHFILEINFOW info{};
        const auto list = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(
            (folder + name).c_str(), 0, &info, sizeof info,
            SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON));
        if (info.hIcon) ::DestroyIcon(info.hIcon);
        if (list) ::ImageList_Draw(list, info.iIcon, canvas.dc(), 0, 0, ILD_TRANSPARENT);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10;

    // 150 files of a few kinds, as a Quick Launch folder would hold.
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path dir =
        std::filesystem::path(temp) /
        (L"replybar-bench-" + std::to_wstring(::GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    const wchar_t* kinds[] = {L".lnk", L".url", L".txt", L".exe", L".ini", L""};
    for (int i = 0; i < 150; ++i) {
        const std::filesystem::path file = dir / (L"程序" + std::to_wstring(i) + kinds[i % 6]);
        const HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
    const std::wstring folder = dir.wstring() + L"\\";
    std::vector<std::wstring> names =
        launch::listLaunchFolder(folder, launch::kMaxLaunchEntries).names;
    names.emplace_back();  // the build also looks up the end of the list

    launch::LaunchEntries entries;
    entries.folder = folder;
    NoShell shell;
    const launch::LauncherContext context{menu::MenuHost{&entries, nullptr, &shell, nullptr, nullptr},
                                          nullptr};
    std::unique_ptr<menu::OwnerDrawnMenu> launcherMenu;

    // One of each first, so that neither side pays the shell's first-use cost.
    launch::buildLauncherMenu(context, launcherMenu);
    bareLookups(folder, names);

    std::vector<double> builds, bares;
    for (int r = 0; r < rounds; ++r) {  // interleaved, so both see the same machine load
        auto start = Clock::now();
        launch::buildLauncherMenu(context, launcherMenu);
        builds.push_back(msSince(start));
        start = Clock::now();
        bareLookups(folder, names);
        bares.push_back(msSince(start));
    }
    const double buildMs = median(builds), bareMs = median(bares);
    std::printf("menu build: %.1f ms, bare icon lookups: %.1f ms (median of %d), ratio %.2f "
                "(goal <= 1.2)\n", buildMs, bareMs, rounds, bareMs > 0 ? buildMs / bareMs : 0.0);

    launcherMenu.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    ::CoUninitialize();
    return 0;
}
