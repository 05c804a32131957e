// The start-up baseline: the smallest Win32 program that shows a topmost tool window of the
// bar's size, no-activate, and closes on WM_CLOSE.
// Given two rectangles (left top right bottom, closed then open) and the open window's region
// (a count, then that many rectangles in window coordinates), it is the hotkey baseline: the
// window starts at the first, registers Ctrl+Alt+R as the bar does, and each press of it opens
// the window to the second with that region, made as the bar makes its own (round-rectangle
// regions joined), and shows a picture of that size drawn once at start; the next press puts
// the window back without a region.
#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

RECT g_rects[2] = {{159, 771, 262, 800}};
std::vector<RECT> g_region;
bool g_open = false;
HDC g_picture = nullptr;  // the open window's picture, drawn before the first press

// The keys the bar's keyboard mode takes, each as its own hotkey.
struct Key {
    UINT modifiers, vk;
};
std::vector<Key> panelKeys() {
    std::vector<Key> keys{{MOD_NOREPEAT, VK_ESCAPE}, {MOD_NOREPEAT, VK_RETURN}, {0, VK_UP},
                          {0, VK_DOWN},              {MOD_NOREPEAT, VK_HOME},   {MOD_NOREPEAT, VK_END}};
    for (UINT vk = '0'; vk <= '9'; ++vk) keys.push_back({MOD_NOREPEAT, vk});
    for (UINT vk = VK_NUMPAD0; vk <= VK_NUMPAD9; ++vk) keys.push_back({MOD_NOREPEAT, vk});
    for (UINT vk = 'A'; vk <= 'Z'; ++vk) {
        keys.push_back({MOD_NOREPEAT, vk});
        keys.push_back({MOD_SHIFT | MOD_NOREPEAT, vk});
    }
    keys.push_back({0, VK_BACK});
    return keys;
}

void takeKeys(HWND hwnd, bool take) {
    static const std::vector<Key> keys = panelKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const int id = 0x1000 + static_cast<int>(i);
        if (take)
            ::RegisterHotKey(hwnd, id, keys[i].modifiers, keys[i].vk);
        else
            ::UnregisterHotKey(hwnd, id);
    }
}

void setRegion(HWND hwnd) {
    if (!g_open || g_region.empty()) {
        ::SetWindowRgn(hwnd, nullptr, TRUE);
        return;
    }
    const RECT& f = g_region[0];
    HRGN all = ::CreateRoundRectRgn(f.left, f.top, f.right, f.bottom, 0, 0);
    for (std::size_t i = 1; i < g_region.size(); ++i) {
        const RECT& r = g_region[i];
        HRGN part = ::CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, 0, 0);
        ::CombineRgn(all, all, part, RGN_OR);
        ::DeleteObject(part);
    }
    if (!::SetWindowRgn(hwnd, all, TRUE)) ::DeleteObject(all);
}

LRESULT CALLBACK bareProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_DESTROY: ::PostQuitMessage(0); return 0;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_HOTKEY: {
            if (wp != 1) return 0;  // one of the panel's keys
            g_open = !g_open;
            takeKeys(hwnd, g_open);
            const RECT& r = g_rects[g_open];
            ::SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            setRegion(hwnd);
            return 0;
        }
        case WM_ERASEBKGND:
            if (g_picture) return 1;
            break;
        case WM_PAINT:
            if (g_picture) {
                PAINTSTRUCT ps;
                HDC dc = ::BeginPaint(hwnd, &ps);
                RECT client{};
                ::GetClientRect(hwnd, &client);
                ::BitBlt(dc, 0, 0, client.right, client.bottom, g_picture, 0, 0, SRCCOPY);
                ::EndPaint(hwnd, &ps);
                return 0;
            }
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// Numbers from the command line, in order.
std::vector<long> numbers(const wchar_t* s) {
    std::vector<long> out;
    for (wchar_t* end = nullptr;; s = end) {
        while (*s && std::iswspace(*s)) ++s;
        if (!*s) break;
        const long n = std::wcstol(s, &end, 10);
        if (end == s) break;
        out.push_back(n);
    }
    return out;
}

// Rows on a white panel beside a strip in the colour of the bar's icon strip.
void drawPicture(int width, int height) {
    HDC screen = ::GetDC(nullptr);
    g_picture = ::CreateCompatibleDC(screen);
    ::SelectObject(g_picture, ::CreateCompatibleBitmap(screen, width, height));
    ::ReleaseDC(nullptr, screen);
    RECT all{0, 0, width, height}, strip{0, 0, 20, height};
    ::FillRect(g_picture, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    HBRUSH stripBrush = ::CreateSolidBrush(RGB(219, 216, 209));
    ::FillRect(g_picture, &strip, stripBrush);
    ::DeleteObject(stripBrush);
    ::SelectObject(g_picture, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(g_picture, TRANSPARENT);
    for (int y = 4; y + 16 < height; y += 19) ::TextOutW(g_picture, 24, y, L"reply", 5);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int) {
    const std::vector<long> n = numbers(args);
    const bool hotkey = n.size() >= 8;
    RECT(&r)[2] = g_rects;
    if (hotkey) {
        r[0] = {n[0], n[1], n[2], n[3]};
        r[1] = {n[4], n[5], n[6], n[7]};
        const std::size_t count = n.size() > 8 ? static_cast<std::size_t>(n[8]) : 0;
        for (std::size_t i = 0; i < count && 9 + 4 * i + 3 < n.size(); ++i) {
            const long* q = &n[9 + 4 * i];
            g_region.push_back({q[0], q[1], q[2], q[3]});
        }
        drawPicture(r[1].right - r[1].left, r[1].bottom - r[1].top);
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = bareProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"ReplyBar.Bare";
    ::RegisterClassW(&wc);
    HWND w =
        ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, wc.lpszClassName,
                          L"bare", WS_POPUP, r[0].left, r[0].top, r[0].right - r[0].left,
                          r[0].bottom - r[0].top, nullptr, nullptr, instance, nullptr);
    if (hotkey) ::RegisterHotKey(w, 1, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, 'R');
    ::SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}
