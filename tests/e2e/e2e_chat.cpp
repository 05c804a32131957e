// The user's chat window for the end-to-end tests: a focused multi-line edit. It records what
// lands in it, every Ctrl+Enter and plain Enter (both send, nothing typed), every V key with its
// modifiers, and every loss of focus or activation, and every time its menu mode was entered (a
// lone Alt tap does that), into files beside the path it is given. Each send also records the
// message it sent, one line each (line breaks as \n), in LOG.sent; with the option "clear" the
// box is emptied by a send, as a chat client does. The option "second" titles it chat-second.
// F11 puts it full-screen in place and back, as browsers and players do: no caption or frame,
// the whole monitor, and no change of the foreground. F24 (e2e_probe mark) is counted as
// "marks": once a mark is counted, every key sent to the window before it has been handled.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND g_edit = nullptr;
WNDPROC g_editProc = nullptr;
std::wstring g_log;
int g_ctrlEnter = 0, g_enter = 0, g_focusLost = 0, g_deactivated = 0, g_menu = 0, g_marks = 0;
std::string g_keys, g_sent;
bool g_clearOnSend = false;

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
    return s;
}

void writeFile(const std::wstring& path, const std::string& bytes) {
    std::wstring tmp = path + L".tmp";
    FILE* f = _wfopen(tmp.c_str(), L"wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void writeLog() {
    int len = GetWindowTextLengthW(g_edit);
    std::wstring text(len + 1, L'\0');
    GetWindowTextW(g_edit, text.data(), len + 1);
    text.resize(len);
    writeFile(g_log + L".text", utf8(text));
    char buf[200];
    snprintf(buf, sizeof buf,
             "ctrl_enter=%d\nenter=%d\nfocus_lost=%d\ndeactivated=%d\nmenu=%d\nmarks=%d\n",
             g_ctrlEnter, g_enter, g_focusLost, g_deactivated, g_menu, g_marks);
    writeFile(g_log, buf);
    writeFile(g_log + L".keys", g_keys);
    writeFile(g_log + L".sent", g_sent);
}

// The message a send sends: the box's text, on one line.
void recordSend() {
    const int len = GetWindowTextLengthW(g_edit);
    std::wstring text(len + 1, L'\0');
    GetWindowTextW(g_edit, text.data(), len + 1);
    text.resize(len);
    std::string line;
    for (char c : utf8(text)) {
        if (c == '\r') continue;
        if (c == '\n') line += "\\n";
        else line += c;
    }
    g_sent += line + "\n";
    if (g_clearOnSend) SetWindowTextW(g_edit, L"");
}

bool down(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

void toggleFullScreen(HWND h) {
    static LONG framedStyle = 0;
    static RECT framed{};
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    if (framedStyle == 0) {
        framedStyle = style;
        GetWindowRect(h, &framed);
        MONITORINFO m{};
        m.cbSize = sizeof m;
        GetMonitorInfoW(MonitorFromWindow(h, MONITOR_DEFAULTTONEAREST), &m);
        SetWindowLongW(h, GWL_STYLE, style & ~WS_OVERLAPPEDWINDOW);
        SetWindowPos(h, HWND_TOP, m.rcMonitor.left, m.rcMonitor.top,
                     m.rcMonitor.right - m.rcMonitor.left, m.rcMonitor.bottom - m.rcMonitor.top,
                     SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    } else {
        SetWindowLongW(h, GWL_STYLE, framedStyle);
        SetWindowPos(h, nullptr, framed.left, framed.top, framed.right - framed.left,
                     framed.bottom - framed.top,
                     SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
        framedStyle = 0;
    }
}

LRESULT CALLBACK editProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_KEYDOWN && w == VK_F11) {
        toggleFullScreen(GetParent(h));
        return 0;
    }
    if (m == WM_KEYDOWN && w == VK_F24) {
        ++g_marks;
        writeLog();
        return 0;
    }
    if (m == WM_KEYDOWN && (w == 'V' || w == VK_RETURN)) {
        char buf[80];
        snprintf(buf, sizeof buf, "%s ctrl=%d shift=%d alt=%d win=%d\n", w == 'V' ? "V" : "ENTER",
                 down(VK_CONTROL), down(VK_SHIFT), down(VK_MENU), down(VK_LWIN) || down(VK_RWIN));
        g_keys += buf;
        // Both send, as in the chat clients: counted, and no line break typed.
        if (w == VK_RETURN) {
            ++(down(VK_CONTROL) ? g_ctrlEnter : g_enter);
            recordSend();
            writeLog();
            return 0;
        }
    }
    if (m == WM_CHAR && (w == 10 || w == 13)) return 0;  // the sends' line breaks
    if (m == WM_KILLFOCUS) {
        ++g_focusLost;
        LRESULT r = CallWindowProcW(g_editProc, h, m, w, l);
        writeLog();
        return r;
    }
    if (m == WM_CHAR && w == 1 /* Ctrl+A */) {
        SendMessageW(h, EM_SETSEL, 0, -1);
        return 0;
    }
    return CallWindowProcW(g_editProc, h, m, w, l);
}

LRESULT CALLBACK mainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case WM_CREATE:
            g_edit = CreateWindowExW(
                WS_EX_CLIENTEDGE, L"EDIT", L"",
                WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN,
                0, 0, 100, 100, h, (HMENU)1, nullptr, nullptr);
            g_editProc = (WNDPROC)SetWindowLongPtrW(g_edit, GWLP_WNDPROC, (LONG_PTR)editProc);
            return 0;
        case WM_SIZE: MoveWindow(g_edit, 0, 0, LOWORD(l), HIWORD(l), TRUE); return 0;
        case WM_SETFOCUS: SetFocus(g_edit); return 0;
        case WM_ACTIVATE:
            if (LOWORD(w) == WA_INACTIVE) {
                ++g_deactivated;
                writeLog();
            }
            break;
        case WM_COMMAND:
            if (HIWORD(w) == EN_CHANGE) writeLog();
            return 0;
        case WM_SYSCOMMAND:
            // A lone Alt tap asks for the menu; it is counted and not entered, so the test goes on.
            if ((w & 0xFFF0) == SC_KEYMENU) {
                ++g_menu;
                writeLog();
                return 0;
            }
            break;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR cmd, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    g_log = argc > 1 ? argv[1] : L"chat.log";
    int x = argc > 2 ? _wtoi(argv[2]) : 300, y = argc > 3 ? _wtoi(argv[3]) : 200;
    (void)cmd;
    const std::wstring options = argc > 4 ? argv[4] : L"";
    g_clearOnSend = options.find(L"clear") != std::wstring::npos;
    const wchar_t* title =
        options.find(L"second") != std::wstring::npos ? L"chat-second" : L"chat-target";
    WNDCLASSW wc{};
    wc.lpfnWndProc = mainProc;
    wc.hInstance = inst;
    wc.lpszClassName = L"E2EChat";
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(0, L"E2EChat", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                             420, 300, nullptr, nullptr, inst, nullptr);
    SetForegroundWindow(h);
    SetFocus(g_edit);
    writeLog();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
