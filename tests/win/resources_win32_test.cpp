// The whole bar in this process, used over and over as a long day would: GDI objects and
// windows stay flat across 200 reply panel openings, 50 reply editors and 50 settings dialogs.
#include <gtest/gtest.h>

#include <string>

#include "bar/bar_window_win32.h"
#include "menu_test_support.h"

namespace replybar {
namespace {

int windowCount() {
    int n = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND top, LPARAM count) -> BOOL {
            ++*reinterpret_cast<int*>(count);
            ::EnumChildWindows(
                top, [](HWND, LPARAM c) -> BOOL { return ++*reinterpret_cast<int*>(c), TRUE; },
                count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

// Closes the dialog of `windowClass` as soon as it is up, from inside its modal loop.
const wchar_t* g_dialogClass = nullptr;
void CALLBACK closeDialog(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND d = ::FindWindowW(g_dialogClass, nullptr); d && ::IsWindowVisible(d))
        ::PostMessageW(d, WM_CLOSE, 0, 0);
}

void pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

void click(HWND bar, int x, int y) {
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TEST(Resources, FlatAcrossPanelsEditorsAndSettingsDialogs) {
    wchar_t appData[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    const std::wstring reply = std::wstring(appData) + L"\\0.txt";
    ::CloseHandle(::CreateFileW(reply.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    {
        HANDLE f = ::CreateFileW(reply.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(f, "reply\r\n", 7, &written, nullptr);
        ::CloseHandle(f);
    }
    BarWindow bar;
    ASSERT_TRUE(bar.create());
    bar.finishStartUp();
    const HWND h = bar.hwnd();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, closeDialog);

    // One of each first: what is made once and kept (the launcher menu, fonts, classes).
    auto round = [&](int panels, int dialogs) {
        for (int i = 0; i < panels; ++i) {
            click(h, 87, 15);  // the reply button opens the panel above the bar face ...
            RECT r{};
            ::GetWindowRect(h, &r);
            click(h, 71, r.bottom - r.top - 29 + 24);  // ... and the drag strip closes it
        }
        for (int i = 0; i < dialogs; ++i) {
            g_dialogClass = L"ReplyBar.ReplyEditor";
            bar.dialogs().openReplyEditor(0);
            g_dialogClass = L"ReplyBar.Settings";
            bar.dialogs().openSettingsDialog();
        }
        pump();
    };
    round(1, 1);
    ::Sleep(300);
    pump();
    const int gdi = testing::gdiObjectCount(), windows = windowCount();
    round(200, 50);
    EXPECT_EQ(testing::gdiObjectCount(), gdi);
    EXPECT_EQ(windowCount(), windows);

    ::KillTimer(nullptr, timer);
    ::SendMessageW(h, WM_CLOSE, 0, 0);
    pump();  // WM_QUIT of the bar's end included: nothing is left for the next test
    ::DeleteFileW(reply.c_str());
}

}  // namespace
}  // namespace replybar
