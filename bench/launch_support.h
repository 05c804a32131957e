// What the benchmarks that launch ReplyBar.exe share: launching a program and waiting for its
// window, closing it, the hotkey as a keyboard would press it, the screen's pixels, medians and
// the peak working set.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "timing.h"

namespace bench {


inline std::wstring besideMe(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

struct Launched {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    double ms = -1;
};

// Starts `exe` and waits until a visible top-level window of `windowClass` belongs to it.
inline Launched launch(const std::wstring& exe, const wchar_t* windowClass,
                const std::wstring& args = {}) {
    Launched l;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring command = L"\"" + exe + L"\" " + args;
    const auto start = Clock::now();
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &si, &l.process))
        return l;
    while (Clock::now() - start < std::chrono::seconds(20)) {
        HWND w = ::FindWindowW(windowClass, nullptr);
        if (w && ::IsWindowVisible(w)) {
            l.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            l.window = w;
            break;
        }
        ::Sleep(1);
    }
    return l;
}

inline void close(Launched& l) {
    if (l.window) ::PostMessageW(l.window, WM_CLOSE, 0, 0);
    if (l.process.hProcess) {
        if (::WaitForSingleObject(l.process.hProcess, 20000) != WAIT_OBJECT_0)
            ::TerminateProcess(l.process.hProcess, 1);
        ::CloseHandle(l.process.hProcess);
        ::CloseHandle(l.process.hThread);
    }
}


inline double peakMb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (!::GetProcessMemoryInfo(process, &pmc, sizeof pmc)) return -1;
    return pmc.PeakWorkingSetSize / (1024.0 * 1024.0);
}

// Ctrl+Alt+R pressed and released, as the user's keyboard would: the system turns the press into
// WM_HOTKEY for whichever program registered it.
inline void pressHotkey() {
    const WORD keys[6] = {VK_CONTROL, VK_MENU, 'R', 'R', VK_MENU, VK_CONTROL};
    INPUT in[6] = {};
    for (int i = 0; i < 6; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = keys[i];
        in[i].ki.dwFlags = i >= 3 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(6, in, sizeof(INPUT));
}

// What the screen shows at `p`, read back from the display: a window's paint counts once it is
// there, not when the program has drawn into its own buffer.
inline COLORREF screenPixel(POINT p) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

// Milliseconds from `start` until the pixel shows `colour`; -1 after five seconds.
inline double waitForPixel(POINT p, COLORREF colour, Clock::time_point start) {
    while (screenPixel(p) != colour) {
        if (Clock::now() - start > std::chrono::seconds(5)) return -1;
        ::Sleep(1);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace bench
