// The modal protocol's close: the user's window gets the foreground back while the dialog still
// stands, so no other window is activated and raised in between. (Wine activates nothing when an
// active dialog goes, so the test looks at the order: who is in front as the dialog is destroyed.)
#include "win/modal_win32.h"

#include <gtest/gtest.h>

#include <map>

namespace replybar {
namespace {

std::map<HWND, int> g_activations;
std::map<HWND, HWND> g_foregroundAtDestroy;

LRESULT CALLBACK countingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ACTIVATE && LOWORD(w) != WA_INACTIVE) ++g_activations[h];
    if (m == WM_DESTROY) g_foregroundAtDestroy[h] = ::GetForegroundWindow();
    return ::DefWindowProcW(h, m, w, l);
}

HWND topWindow(const wchar_t* title, HWND owner = nullptr) {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = countingProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ModalTestWindow";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return ::CreateWindowExW(0, L"ModalTestWindow", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                             100, 300, 200, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

TEST(ModalWin32, TheUsersWindowIsInFrontBeforeTheDialogGoes) {
    HWND owner = topWindow(L"owner");  // the bar's place: it must never be activated
    HWND user = topWindow(L"user");
    ::SetForegroundWindow(user);
    HWND dialog = topWindow(L"dialog", owner);
    g_activations.clear();
    bool done = false;
    win::runModal(dialog, owner, user, done, {{}, [&] { done = true; }, {}});
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_EQ(g_foregroundAtDestroy[dialog], user);
    EXPECT_EQ(::GetForegroundWindow(), user);
    EXPECT_EQ(g_activations[owner], 0);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(user);
    ::DestroyWindow(owner);
}

}  // namespace
}  // namespace replybar
