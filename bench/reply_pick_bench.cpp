// A reply pick, from the button's release to the text in the target, and a keyboard pick, from
// the row key's injection to the text in the target, each against a bare SendInput Ctrl+V of the
// same text, all measured in this run. The target is a focused edit in a window of its own
// thread, so its input is processed as a chat window's would be.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <thread>
#include <vector>

#include "bar/bar_controller.h"
#include "win/hotkeys_win32.h"
#include "win/input_win32.h"
#include "win/messages_win32.h"
#include "win/shell_win32.h"

using namespace replybar;
using Clock = std::chrono::steady_clock;

namespace {

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

// From `start` to the moment the whole text was in the target.
double waitForText(Clock::time_point start, int length) {
    while (textLength() < length) {
        if (Clock::now() - start > std::chrono::seconds(5)) return -1;
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
struct NoTimers : ITimers {
    void enable(TimerId, unsigned) override {}
    void disable(TimerId) override {}
};
struct NoActions : IBarActions {
    void openSettingsDialog() override {}
    void openReplyEditor() override {}
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

// The bar's message loop as far as the next WM_HOTKEY, handed to the controller as the bar window
// does. False when none came within five seconds.
bool deliverHotkey(BarController& bar) {
    const UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, nullptr);
    MSG msg;
    bool got = false;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.wParam == guard) break;
        if (msg.message == WM_HOTKEY) {
            bar.panelKeyPressed(static_cast<int>(msg.wParam));
            got = true;
            break;
        }
        ::DispatchMessageW(&msg);
    }
    ::KillTimer(nullptr, guard);
    return got;
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

    const std::wstring reply = L"好的，马上处理，请稍等。\r\n谢谢！";
    const int length = static_cast<int>(reply.size());
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                   nullptr);
    win::Clipboard clipboard(owner);
    win::KeySender keys;
    win::TargetWindow targetCheck;  // looked at on every pick, as in the bar
    win::MessageBoxes messages(owner);
    win::SystemClock clock;
    NoWindow window;
    NoTimers timers;
    NoActions actions;
    BarState state;
    state.replyCount = 1;
    state.autoSend = false;
    ReplyTable table{};
    table[0].fullText = reply;
    win::WindowHotkeys hotkeys(owner);
    BarController bar(
        state, table,
        {window, timers, clipboard, keys, messages, actions, targetCheck, clock, hotkeys});
    bar.setPanelSize(panelSizeFor(1));
    bar.setWindowRect({0, 0, 103, 29});

    const int rounds = 15;
    std::vector<double> bare, pick, keyPick, nowait;
    std::vector<INPUT> ctrlV = keyPresses({VK_CONTROL, 'V'}), rowKey = keyPresses({'1'});
    bool keyPickExact = true;
    for (int r = 0; r < rounds; ++r) {
        clearText();
        clipboard.setText(reply);
        auto t0 = Clock::now();
        ::SendInput(4, ctrlV.data(), sizeof(INPUT));
        bare.push_back(waitForText(t0, length));

        // The row key as the user presses it: the system turns it into WM_HOTKEY for the bar's
        // window (the key never reaches the target), and the pick writes the clipboard itself.
        clearText();
        bar.hotkeyPressed();
        t0 = Clock::now();
        ::SendInput(2, rowKey.data(), sizeof(INPUT));
        keyPick.push_back(bar.keyboardMode() && deliverHotkey(bar) ? waitForText(t0, length) : -1);
        keyPickExact = keyPickExact && text() == reply;

        clearText();
        bar.openReplyPanel();
        const Target row{Target::RowText, 0};
        bar.mouseDown(row, MouseButton::Left, 0, 0);  // puts the reply on the clipboard
        t0 = Clock::now();
        bar.mouseUp(row, MouseButton::Left, 0, 0);
        pick.push_back(waitForText(t0, length));

        clearText();
        clipboard.setText(reply);
        t0 = Clock::now();
        keys.send(L"^v", false);
        nowait.push_back(waitForText(t0, length));
    }
    std::printf("no-wait sender: %.2f ms\n", median(nowait));
    const double b = median(bare), p = median(pick), k = median(keyPick);
    std::printf(
        "reply pick: %.2f ms (median of %d), bare SendInput Ctrl+V: %.2f ms, ratio %.2f "
        "(goal <= 1.5)\n",
        p, rounds, b, b > 0 ? p / b : 0.0);
    std::printf(
        "keyboard pick: %.2f ms (median of %d), bare SendInput Ctrl+V: %.2f ms, ratio %.2f "
        "(goal <= 1.2)\n",
        k, rounds, b, b > 0 ? k / b : 0.0);
    if (!keyPickExact) std::printf("keyboard pick: the target got other text than the reply\n");
    ::PostMessageW(g_top, WM_QUIT, 0, 0);
    ::PostThreadMessageW(::GetWindowThreadProcessId(g_top, nullptr), WM_QUIT, 0, 0);
    target.join();
    return (b < 0 || p < 0 || k < 0 || !keyPickExact) ? 1 : 0;
}
