// A reply pick of a reply with three fields (the agent's name, the order number the user just
// copied, a date three days out), from the button's release to the text in the target, against
// a bare SendInput Ctrl+V of the filled text; and a keyboard pick, from the row key's injection
// to the text in the target, against a bare program that takes the same key, writes the
// clipboard then, lets the pick's quiet time pass and pastes; all measured in this run. The
// target is a focused edit in a window of its own thread, so its input is processed as a chat
// window's would be. The pick's waits run on real timers of this thread, whose messages are
// handled while the text is awaited.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <thread>
#include <vector>

#include "bar/bar_controller.h"
#include "fill/blank_box_win32.h"
#include "reply/reply_pick.h"
#include "win/hotkeys_win32.h"
#include "win/input_win32.h"
#include "win/messages_win32.h"
#include "win/shell_win32.h"

using namespace replybar;
using Clock = std::chrono::steady_clock;

namespace {

constexpr DWORD kClickMs = 100;

HWND g_edit = nullptr, g_top = nullptr;
WNDPROC g_topProc = nullptr;
// When the target's text last changed, stamped on the target's own thread as the edit reports
// it: the moment the user would see the reply, whatever the sender still does afterwards.
std::atomic<long long> g_changedAt{0};

long long now() { return Clock::now().time_since_epoch().count(); }

LRESULT CALLBACK topProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) g_changedAt = now();
    return ::CallWindowProcW(g_topProc, hwnd, msg, wp, lp);
}

void targetThread(HANDLE ready) {
    g_top = ::CreateWindowExW(0, L"STATIC", L"bench-target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200,
                              200, 400, 200, nullptr, nullptr, nullptr, nullptr);
    g_topProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(g_top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(topProc)));
    g_edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 380,
                               160, g_top, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(g_top);
    ::SetFocus(g_edit);
    ::SetEvent(ready);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

int textLength() { return static_cast<int>(::SendMessageW(g_edit, WM_GETTEXTLENGTH, 0, 0)); }
void clearText() {
    ::SendMessageW(g_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    g_changedAt = 0;
}

// This thread's messages, as the bar's loop handles them (its timers included).
void pumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

// From `start` to the moment the whole text was in the target.
double waitForText(Clock::time_point start, int length) {
    while (textLength() < length) {
        if (Clock::now() - start > std::chrono::seconds(5)) return -1;
        pumpMessages();
        ::Sleep(0);
    }
    return std::chrono::duration<double, std::milli>(Clock::duration(g_changedAt.load()) -
                                                     start.time_since_epoch())
        .count();
}

struct NoWindow : IBarWindow {
    void setBounds(const PxRect&) override {}
    void setRegion(const std::vector<PxRect>&) override {}
    void invalidate() override {}
    PxPoint cursorPos() override { return {}; }
    PxRect workArea() override { return {0, 0, 1280, 800}; }
};
// The pick's own timer runs, on the owner window, as the bar's do on its window; the others
// follow the pointer and the menu, which the benchmark has none of.
BarController* g_bar = nullptr;
LRESULT CALLBACK ownerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == static_cast<UINT_PTR>(TimerId::PickStep) + 1 && g_bar) {
        g_bar->timerTick(TimerId::PickStep);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}
struct PickTimer : ITimers {
    HWND owner = nullptr;
    void enable(TimerId t, unsigned ms) override {
        if (t == TimerId::PickStep) ::SetTimer(owner, static_cast<UINT_PTR>(t) + 1, ms, nullptr);
    }
    void disable(TimerId t) override { ::KillTimer(owner, static_cast<UINT_PTR>(t) + 1); }
};
struct NoActions : IBarActions {
    void openSettingsDialog() override {}
    void openReplyEditor(int) override {}
    void openReplyEditorToAdd(const std::wstring&, int) override {}
    void runButtonAction(BarButton) override {}
    void closeLauncherMenu() override {}
};

std::wstring text() {
    std::wstring s(textLength() + 1, L'\0');
    s.resize(::SendMessageW(g_edit, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data())));
    return s;
}

// Each key down in turn, then up in reverse.
std::vector<INPUT> keyPresses(std::initializer_list<WORD> keys) {
    std::vector<WORD> order(keys);
    order.insert(order.end(), std::rbegin(keys), std::rend(keys));
    std::vector<INPUT> in(order.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = order[i];
        in[i].ki.dwFlags = i >= keys.size() ? KEYEVENTF_KEYUP : 0;
    }
    return in;
}

// This thread's messages, dispatched, until `done` takes one; false when none came within five
// seconds.
template <class Done>
bool pumpUntil(Done done) {
    const UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, nullptr);
    MSG msg;
    bool got = false;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == guard) break;
        if (done(msg)) {
            got = true;
            break;
        }
        ::DispatchMessageW(&msg);
    }
    ::KillTimer(nullptr, guard);
    return got;
}

// The bar's message loop as far as the next WM_HOTKEY, handed to the controller as the bar window
// does.
bool deliverHotkey(BarController& bar) {
    return pumpUntil([&](const MSG& msg) {
        if (msg.message != WM_HOTKEY) return false;
        bar.panelKeyPressed(static_cast<int>(msg.wParam));
        return true;
    });
}

// The text on the clipboard as a bare program puts it there: the one format, nothing else.
bool writeClipboard(HWND owner, const std::wstring& text) {
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool ok = false;
    if (data) {
        std::memcpy(::GlobalLock(data), text.c_str(), bytes);
        ::GlobalUnlock(data);
        ok = ::SetClipboardData(CF_UNICODETEXT, data) != nullptr;
        if (!ok) ::GlobalFree(data);
    }
    ::CloseClipboard();
    return ok;
}

// The keyboard pick's baseline: the row key as a bare program's hotkey; when it comes, the text
// goes on the clipboard, and Ctrl+V follows once the pick's quiet time has passed since that
// write and nobody has the clipboard open, as the pick's does.
double bareKeyPick(HWND owner, const std::wstring& text, std::vector<INPUT>& rowKey,
                   std::vector<INPUT>& ctrlV) {
    constexpr int kRowKeyId = 0x7000;
    if (!::RegisterHotKey(owner, kRowKeyId, MOD_NOREPEAT, '1')) return -1;
    const auto t0 = Clock::now();
    ::SendInput(static_cast<UINT>(rowKey.size()), rowKey.data(), sizeof(INPUT));
    bool ok = pumpUntil([](const MSG& m) { return m.message == WM_HOTKEY; }) &&
              writeClipboard(owner, text);
    ::UnregisterHotKey(owner, kRowKeyId);
    if (ok) {
        const UINT_PTR quiet = ::SetTimer(nullptr, 0, kClipboardQuietMs, nullptr);
        ok = pumpUntil([&](const MSG& m) {
            return m.message == WM_TIMER && !m.hwnd && m.wParam == quiet &&
                   !::GetOpenClipboardWindow();
        });
        ::KillTimer(nullptr, quiet);
    }
    if (!ok) return -1;
    ::SendInput(static_cast<UINT>(ctrlV.size()), ctrlV.data(), sizeof(INPUT));
    return waitForText(t0, static_cast<int>(text.size()));
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain() {
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread target(targetThread, ready);
    ::WaitForSingleObject(ready, 10000);
    ::AttachThreadInput(::GetCurrentThreadId(), ::GetWindowThreadProcessId(g_top, nullptr), FALSE);

    // The reply as written; `filled` is what the target must get, and what the bare programs
    // paste. Before each pick the user copies the order number.
    const std::wstring reply = L"您好，我是{客服}，订单{剪贴板}预计{日期+3}发货。\r\n谢谢！";
    const std::wstring order = L"DD20261209-0042";
    win::Clipboard copied(nullptr);  // another program's clipboard writes
    WNDCLASSW wc{};
    wc.lpfnWndProc = ownerProc;
    wc.lpszClassName = L"ReplyBar.BenchOwner";
    ::RegisterClassW(&wc);
    HWND owner = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   nullptr, nullptr);
    win::Clipboard clipboard(owner);
    win::KeySender keys;
    win::TargetWindow targetCheck;  // looked at on every pick, as in the bar
    win::MessageBoxes messages(owner);
    win::SystemClock clock;
    NoWindow window;
    PickTimer timers;
    timers.owner = owner;
    NoActions actions;
    Replies replies;
    replies.rows.resize(1);
    replies.rows[0].fullText = reply;
    win::WindowHotkeys hotkeys(owner);
    fill::BlankBox blanks(owner);  // never asked: the reply has no blank
    BarController bar(replies, {window, timers, clipboard, keys, messages, actions, targetCheck,
                                clock, hotkeys, blanks, [] { return std::wstring(L"小王"); }});
    copied.setText(order);
    const std::wstring filled = bar.fields().preview(reply);
    const int length = static_cast<int>(filled.size());
    bar.panel().setOwnSize(panelSizeFor(1));
    bar.setWindowRect({0, 0, 103, 29});
    g_bar = &bar;

    const int rounds = 15;
    std::vector<double> bare, bareKey, pick, keyPick, nowait;
    std::vector<INPUT> ctrlV = keyPresses({VK_CONTROL, 'V'}), rowKey = keyPresses({'1'});
    bool keyPickExact = true;
    for (int r = 0; r < rounds; ++r) {
        clearText();
        clipboard.setText(filled);
        auto t0 = Clock::now();
        ::SendInput(4, ctrlV.data(), sizeof(INPUT));
        bare.push_back(waitForText(t0, length));

        clearText();
        bareKey.push_back(bareKeyPick(owner, filled, rowKey, ctrlV));

        // The row key as the user presses it: the system turns it into WM_HOTKEY for the bar's
        // window (the key never reaches the target), and the pick writes the clipboard itself.
        clearText();
        copied.setText(order);
        bar.hotkeyPressed();
        bar.keyboardPanelShown();
        t0 = Clock::now();
        ::SendInput(2, rowKey.data(), sizeof(INPUT));
        keyPick.push_back(bar.keyboardMode() && deliverHotkey(bar) ? waitForText(t0, length) : -1);
        keyPickExact = keyPickExact && text() == filled;

        clearText();
        copied.setText(order);
        bar.openReplyPanel();
        const Target row{Target::RowText, 0};
        bar.mouseDown(row, MouseButton::Left, 0, 0);  // puts the reply on the clipboard
        // A person's click holds the button down for about a tenth of a second.
        ::Sleep(kClickMs);
        pumpMessages();
        t0 = Clock::now();
        bar.mouseUp(row, MouseButton::Left, 0, 0);
        pick.push_back(waitForText(t0, length));

        clearText();
        clipboard.setText(filled);
        t0 = Clock::now();
        keys.send(keys::Chord::Paste, false);
        nowait.push_back(waitForText(t0, length));
    }
    std::printf("no-wait sender: %.2f ms\n", median(nowait));
    const double b = median(bare), bk = median(bareKey), p = median(pick), k = median(keyPick);
    std::printf(
        "reply pick: %.2f ms (median of %d), bare SendInput Ctrl+V: %.2f ms, ratio %.2f "
        "(goal <= 1.4)\n",
        p, rounds, b, b > 0 ? p / b : 0.0);
    std::printf(
        "keyboard pick: %.2f ms (median of %d), bare key, clipboard, %u ms quiet, Ctrl+V: "
        "%.2f ms, ratio %.2f (goal <= 1.1)\n",
        k, rounds, kClipboardQuietMs, bk, bk > 0 ? k / bk : 0.0);
    if (!keyPickExact) std::printf("keyboard pick: the target got other text than the reply\n");
    ::PostMessageW(g_top, WM_QUIT, 0, 0);
    ::PostThreadMessageW(::GetWindowThreadProcessId(g_top, nullptr), WM_QUIT, 0, 0);
    target.join();
    return (b < 0 || bk < 0 || p < 0 || k < 0 || !keyPickExact) ? 1 : 0;
}
