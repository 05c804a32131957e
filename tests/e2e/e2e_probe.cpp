// Reports window facts the X side cannot see, for the end-to-end tests:
//   e2e_probe bar OUT      the bar's rectangle, styles, region, instance count, foreground/focus,
//                          the window holding the bar thread's mouse capture, and whether the
//                          bar has made its tooltips (the last part of its start-up that shows)
//   e2e_probe close        posts WM_CLOSE to the bar
//   e2e_probe find CLASS TITLE OUT   whether a window exists, with its rectangle, whether it
//                                  is maximised and whether it has a caption
//   e2e_probe showwin CLASS SW     ShowWindow on a window of that class (3 maximises, 9 restores)
//   e2e_probe regget OUT / regset IN / regdel   the settings value, as UTF-8 text files
//   e2e_probe controls CLASS OUT   every control of a window, nested ones too
//   e2e_probe sysclose CLASS       the close box of a window: WM_SYSCOMMAND SC_CLOSE
//   e2e_probe mklnk LINK TARGET    a shell shortcut
//   e2e_probe move X Y             moves the bar, as something other than the bar would
//   e2e_probe send MSG WPARAM [LPARAM]   sends a message (numbers) to the bar
//   e2e_probe hold FILE SECONDS [READY]   keeps a file open without sharing, as another
//                                  program may; READY is written once it is open
//   e2e_probe holdread FILE READY UNTIL   reads a file, sharing only reads, as a sync client may:
//                                  it cannot be replaced until UNTIL is there (two minutes at most)
//   e2e_probe version EXE OUT      the exe's version resource, as Explorer reads it
//   e2e_probe savekill TEXT US     through the reply editor: saves TEXT into the first reply
//                                  and ends the bar's process US microseconds after the click
//   e2e_probe regdword             the settings value as a number, of the wrong type
//   e2e_probe holdclip MS TITLE READY   keeps the clipboard open for MS ms from a window titled
//                                  TITLE, as a clipboard manager may; READY is written once held
//   e2e_probe cliphistory MS SECONDS READY   for SECONDS, opens the clipboard at every change
//                                  and holds it MS ms while it reads the text, as Windows'
//                                  clipboard history and clipboard managers do
//   e2e_probe activate CLASS TITLE brings that window to the front, as the user switching to it
//   e2e_probe clipinfo OUT         the clipboard's text, owner and the formats a reply carries
//   e2e_probe holdhotkey MODS VK MS READY   owns that system-wide hotkey for MS ms, as another
//                                  program may; READY is written once it is registered
//   e2e_probe keystate OUT         which modifiers the system thinks are down
//   e2e_probe chatclear            empties the chat stand-in's text box
//   e2e_probe cover X Y W H TOPMOST MS   a window of class E2ECover there, always on top when
//                                  TOPMOST is 1, activated as a user would, for MS ms
//   e2e_probe zorder OUT           the visible top-level windows front to back, by class
//   e2e_probe checked CLASS ID OUT whether a check box of a window is checked
//   e2e_probe metrics OUT          the display scale a program of the prefix sees: DPI, small
//                                  icon and menu row sizes, the system small-icon list's size
//   e2e_probe filename PATH        PATH into the file dialog's name box (cmb13 or edt1), then OK
//   e2e_probe comctl OUT           the path of the comctl32.dll in the bar's process: the
//                                  side-by-side one when its manifest was taken
//   e2e_probe hidden CLASS MS READY OUT   waits (MS at most) for a window of that class to
//                                  show and then to go; OUT gets the moment it went as Unix
//                                  seconds, or nothing. READY is written once it looks.
//   e2e_probe mark                 F24 pressed and let go through SendInput, to the window in
//                                  front, after every key the bar has sent it before
//   e2e_probe serve DIR            answers the commands above from one process, so that a script
//                                  that polls does not start a Wine process each time: DIR\N.req
//                                  holds a command's arguments (UTF-8, each ended by a NUL); its
//                                  exit status goes to DIR\N.rc. Ready once DIR\ready is there.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <psapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kBarClass[] = L"ReplyBar.Bar";

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
    return s;
}

std::string className(HWND h) {
    wchar_t buf[256] = {};
    if (h) GetClassNameW(h, buf, 256);
    return utf8(buf);
}

int countBars() {
    int n = 0;
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            wchar_t buf[64] = {};
            GetClassNameW(h, buf, 64);
            if (lstrcmpW(buf, kBarClass) == 0) ++*reinterpret_cast<int*>(p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

// The first visible top-level window of that class and title (either may be null), else the
// first hidden one: without a window manager a closed window lingers hidden for a while.
HWND findTop(const wchar_t* cls, const wchar_t* title) {
    HWND first = nullptr;
    for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, cls, title)) != nullptr;) {
        if (IsWindowVisible(h)) return h;
        if (!first) first = h;
    }
    return first;
}

void writeOut(const std::wstring& path, const std::string& s) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return;
    fwrite(s.data(), 1, s.size(), f);
    fclose(f);
}

std::string barFacts() {
    char buf[512];
    std::string out;
    HWND bar = FindWindowW(kBarClass, nullptr);
    snprintf(buf, sizeof buf, "found=%d\ncount=%d\n", bar != nullptr, countBars());
    out += buf;
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    GetGUIThreadInfo(0, &gti);
    out += "foreground=" + className(GetForegroundWindow()) + "\n";
    out += "focus=" + className(gti.hwndFocus) + "\n";
    wchar_t focusText[512] = {};
    if (gti.hwndFocus) SendMessageW(gti.hwndFocus, WM_GETTEXT, 512, (LPARAM)focusText);
    out += "focustext=" + utf8(focusText) + "\n";
    out += "focusid=" + std::to_string(gti.hwndFocus ? GetDlgCtrlID(gti.hwndFocus) : 0) + "\n";
    if (!bar) return out;
    RECT r{};
    GetWindowRect(bar, &r);
    RECT wa{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    LONG ex = GetWindowLongW(bar, GWL_EXSTYLE), st = GetWindowLongW(bar, GWL_STYLE);
    snprintf(buf, sizeof buf,
             "x=%ld\ny=%ld\nw=%ld\nh=%ld\nexstyle=0x%08lx\nstyle=0x%08lx\ntopmost=%d\n"
             "toolwindow=%d\nnoactivate=%d\nvisible=%d\nworkarea=%ld,%ld,%ld,%ld\n",
             r.left, r.top, r.right - r.left, r.bottom - r.top, (unsigned long)ex,
             (unsigned long)st, (ex & WS_EX_TOPMOST) != 0, (ex & WS_EX_TOOLWINDOW) != 0,
             (ex & WS_EX_NOACTIVATE) != 0, IsWindowVisible(bar) != 0, wa.left, wa.top, wa.right,
             wa.bottom);
    out += buf;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(bar, rgn);
    out += "region=";
    if (kind != ERROR) {
        DWORD size = GetRegionData(rgn, 0, nullptr);
        std::vector<char> data(size);
        auto* rd = reinterpret_cast<RGNDATA*>(data.data());
        if (size && GetRegionData(rgn, size, rd)) {
            auto* rects = reinterpret_cast<RECT*>(rd->Buffer);
            for (DWORD i = 0; i < rd->rdh.nCount; ++i) {
                snprintf(buf, sizeof buf, "%s%ld,%ld,%ld,%ld", i ? ";" : "", rects[i].left,
                         rects[i].top, rects[i].right, rects[i].bottom);
                out += buf;
            }
        }
    }
    out += "\n";
    DeleteObject(rgn);
    GUITHREADINFO barThread{};
    barThread.cbSize = sizeof barThread;
    GetGUIThreadInfo(GetWindowThreadProcessId(bar, nullptr), &barThread);
    out += "capture=" + className(barThread.hwndCapture) + "\n";
    int tips = 0;
    for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, TOOLTIPS_CLASSW, nullptr)) != nullptr;)
        if (GetWindow(h, GW_OWNER) == bar) ++tips;
    snprintf(buf, sizeof buf, "tips=%d\n", tips);
    out += buf;
    return out;
}

// One command; its exit status.
int run(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::wstring cmd = argv[1];
    if (cmd == L"bar" && argc > 2) {
        writeOut(argv[2], barFacts());
        return 0;
    }
    if (cmd == L"controls" && argc > 3) {
        // Each child of the first window of a class: id, class, visible, enabled, screen
        // rectangle, text; then the window's own client origin.
        HWND top = findTop(argv[2], nullptr);
        std::string out = top ? "found=1\n" : "found=0\n";
        if (top) {
            POINT o{0, 0};
            ClientToScreen(top, &o);
            char buf[200];
            snprintf(buf, sizeof buf, "client=%ld,%ld\nactive=%d\n", o.x, o.y,
                     GetForegroundWindow() == top);
            out += buf;
            std::vector<HWND> children;
            EnumChildWindows(
                top,
                [](HWND c, LPARAM all) -> BOOL {
                    reinterpret_cast<std::vector<HWND>*>(all)->push_back(c);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&children));
            for (HWND c : children) {
                RECT r{};
                GetWindowRect(c, &r);
                wchar_t text[2048] = {};
                SendMessageW(c, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
                std::string t = utf8(text);
                for (char& ch : t)
                    if (ch == '\r')
                        ch = '^';
                    else if (ch == '\n')
                        ch = '~';
                snprintf(buf, sizeof buf, "ctl%d=%s|%d|%d|%ld,%ld,%ld,%ld|", GetDlgCtrlID(c),
                         className(c).c_str(), IsWindowVisible(c) != 0, IsWindowEnabled(c) != 0,
                         r.left, r.top, r.right, r.bottom);
                out += buf + t + "\n";
                if (className(c) == "ComboBox") {
                    snprintf(buf, sizeof buf, "combo%d=%d|%d\n", GetDlgCtrlID(c),
                             (int)SendMessageW(c, CB_GETCOUNT, 0, 0),
                             (int)SendMessageW(c, CB_GETCURSEL, 0, 0));
                    out += buf;
                }
                if (className(c) == HOTKEY_CLASSA) {
                    snprintf(buf, sizeof buf, "hotkey%d=0x%x\n", GetDlgCtrlID(c),
                             (unsigned)(SendMessageW(c, HKM_GETHOTKEY, 0, 0) & 0xFFFF));
                    out += buf;
                }
                if (className(c) == "Button") {
                    snprintf(buf, sizeof buf, "check%d=%d\n", GetDlgCtrlID(c),
                             (int)SendMessageW(c, BM_GETCHECK, 0, 0));
                    out += buf;
                }
            }
        }
        writeOut(argv[3], out);
        return 0;
    }
    if (cmd == L"sysclose" && argc > 2) {
        HWND h = findTop(argv[2], nullptr);
        if (!h) return 1;
        PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    if (cmd == L"mklnk" && argc > 3) {
        CoInitialize(nullptr);
        IShellLinkW* link = nullptr;
        IPersistFile* file = nullptr;
        HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, reinterpret_cast<void**>(&link));
        if (SUCCEEDED(hr)) hr = link->SetPath(argv[3]);
        if (SUCCEEDED(hr))
            hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        if (SUCCEEDED(hr)) hr = file->Save(argv[2], TRUE);
        if (file) file->Release();
        if (link) link->Release();
        CoUninitialize();
        return SUCCEEDED(hr) ? 0 : 1;
    }
    if (cmd == L"move" && argc > 3) {
        HWND bar = FindWindowW(kBarClass, nullptr);
        if (!bar) return 1;
        SetWindowPos(bar, nullptr, _wtoi(argv[2]), _wtoi(argv[3]), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (cmd == L"send" && argc > 3) {
        HWND bar = FindWindowW(kBarClass, nullptr);
        if (!bar) return 1;
        DWORD_PTR result = 0;
        const LPARAM lp = argc > 4 ? static_cast<LPARAM>(wcstoul(argv[4], nullptr, 0)) : 0;
        SendMessageTimeoutW(bar, wcstoul(argv[2], nullptr, 0), wcstoul(argv[3], nullptr, 0), lp,
                            SMTO_ABORTIFHUNG, 5000, &result);
        return 0;
    }
    if (cmd == L"version" && argc > 3) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(argv[2], &ignored);
        std::vector<char> data(size ? size : 1);
        std::string out = "found=0\n";
        if (size && GetFileVersionInfoW(argv[2], 0, size, data.data())) {
            out = "found=1\n";
            struct Translation {
                WORD language, codePage;
            }* t = nullptr;
            UINT len = 0;
            if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&t), &len) &&
                len >= sizeof *t) {
                char buf[64];
                snprintf(buf, sizeof buf, "translation=%04x%04x\n", t->language, t->codePage);
                out += buf;
            }
            for (const wchar_t* name : {L"FileDescription", L"FileVersion", L"ProductName",
                                        L"ProductVersion", L"LegalCopyright"}) {
                wchar_t* value = nullptr;
                const std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
                if (VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value),
                                   &len))
                    out += utf8(name) + "=" + utf8(value) + "\n";
            }
        }
        writeOut(argv[3], out);
        return 0;
    }
    if (cmd == L"savekill" && argc > 3) {
        HWND bar = FindWindowW(kBarClass, nullptr);
        if (!bar) return 1;
        DWORD pid = 0;
        GetWindowThreadProcessId(bar, &pid);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process) return 1;
        // A right click on the reply button opens the editor on the first reply.
        PostMessageW(bar, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(87, 15));
        PostMessageW(bar, WM_RBUTTONUP, 0, MAKELPARAM(87, 15));
        // The editor once it is on screen with its controls (it exists a moment before).
        HWND text = nullptr, confirm = nullptr;
        for (int i = 0; i < 1000 && !(text && confirm); ++i) {
            HWND editor = findTop(L"ReplyBar.ReplyEditor", nullptr);
            if (editor && IsWindowVisible(editor)) {
                text = GetDlgItem(editor, 110);
                confirm = GetDlgItem(editor, 123);
            }
            if (!(text && confirm)) Sleep(10);
        }
        if (!text || !confirm) {  // left as it is, for the test to look at
            CloseHandle(process);
            return 2;
        }
        SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
        LARGE_INTEGER f, start, now;
        QueryPerformanceFrequency(&f);
        const double us = _wtof(argv[3]);
        PostMessageW(confirm, BM_CLICK, 0, 0);
        QueryPerformanceCounter(&start);
        do QueryPerformanceCounter(&now);
        while ((now.QuadPart - start.QuadPart) * 1e6 / f.QuadPart < us);
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
        return 0;
    }
    if (cmd == L"list" && argc > 2) {  // every top-level window: class, process, visible
        std::string out;
        for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, nullptr, nullptr)) != nullptr;) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            char buf[300];
            snprintf(buf, sizeof buf, "%s pid=%lu visible=%d\n", className(h).c_str(),
                     (unsigned long)pid, IsWindowVisible(h) != 0);
            out += buf;
        }
        writeOut(argv[2], out);
        return 0;
    }
    if (cmd == L"metrics" && argc > 2) {
        HDC dc = GetDC(nullptr);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        SHFILEINFOW info{};
        const auto list = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L"x.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                           SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON));
        int cx = 0, cy = 0;
        if (list) ImageList_GetIconSize(list, &cx, &cy);
        char buf[256];
        snprintf(buf, sizeof buf, "dpi=%d\nsmicon=%d\ncymenu=%d\nlisticon=%d\nscreen=%d,%d\n", dpi,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYMENU), cx,
                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        writeOut(argv[2], buf);
        return 0;
    }
    if (cmd == L"filename" && argc > 2) {
        for (HWND dlg = nullptr;
             (dlg = FindWindowExW(nullptr, dlg, L"#32770", nullptr)) != nullptr;) {
            HWND name = GetDlgItem(dlg, cmb13);
            if (!name) name = GetDlgItem(dlg, edt1);
            if (!name || !IsWindowVisible(dlg)) continue;
            SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
            PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
            return 0;
        }
        return 1;
    }
    if (cmd == L"comctl" && argc > 2) {
        DWORD pid = 0;
        if (HWND bar = FindWindowW(kBarClass, nullptr)) GetWindowThreadProcessId(bar, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        std::string out = "path=\n";
        HMODULE modules[512];
        DWORD bytes = 0;
        if (process && K32EnumProcessModules(process, modules, sizeof modules, &bytes)) {
            for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
                wchar_t path[MAX_PATH] = {};
                K32GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
                const wchar_t* name = wcsrchr(path, L'\\');
                if (name && lstrcmpiW(name + 1, L"comctl32.dll") == 0)
                    out = "path=" + utf8(path) + "\n";
            }
        }
        if (process) CloseHandle(process);
        writeOut(argv[2], out);
        return 0;
    }
    if (cmd == L"regdword") {
        HKEY k = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\DAZ\\Registry", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &k, nullptr);
        const DWORD value = 2385;
        RegSetValueExW(k, L"String3", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
        RegCloseKey(k);
        return 0;
    }
    if (cmd == L"hold" && argc > 3) {
        HANDLE f = CreateFileW(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return 1;
        if (argc > 4) writeOut(argv[4], "held\n");
        Sleep(static_cast<DWORD>(_wtoi(argv[3])) * 1000);
        CloseHandle(f);
        return 0;
    }
    if (cmd == L"holdread" && argc > 4) {
        HANDLE f = CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        if (f == INVALID_HANDLE_VALUE) return 1;
        writeOut(argv[3], "held\n");
        for (int i = 0; i < 2400 && GetFileAttributesW(argv[4]) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(50);
        CloseHandle(f);
        return 0;
    }
    if (cmd == L"holdclip" && argc > 4) {
        HWND h = CreateWindowExW(0, L"STATIC", argv[3], WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr);
        if (!OpenClipboard(h)) return 1;
        writeOut(argv[4], "held\n");
        Sleep(static_cast<DWORD>(_wtoi(argv[2])));
        CloseClipboard();
        return 0;
    }
    if (cmd == L"cliphistory" && argc > 4) {
        static DWORD holdMs;
        holdMs = static_cast<DWORD>(_wtoi(argv[2]));
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_CLIPBOARDUPDATE && OpenClipboard(h)) {
                if (HANDLE t = GetClipboardData(CF_UNICODETEXT)) GlobalLock(t), GlobalUnlock(t);
                Sleep(holdMs);
                CloseClipboard();
                return 0;
            }
            return DefWindowProcW(h, m, w, l);
        };
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"E2EClipboardHistory";
        RegisterClassW(&wc);
        HWND h = CreateWindowExW(0, wc.lpszClassName, L"剪贴板历史", WS_POPUP, 0, 0, 1, 1,
                                 nullptr, nullptr, nullptr, nullptr);
        if (!AddClipboardFormatListener(h)) return 1;
        writeOut(argv[4], "listening\n");
        const DWORD end = GetTickCount() + static_cast<DWORD>(_wtoi(argv[3])) * 1000;
        MSG msg;
        while (GetTickCount() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        RemoveClipboardFormatListener(h);
        return 0;
    }
    if (cmd == L"activate" && argc > 3) {
        HWND h = FindWindowW(argv[2], argv[3]);
        return h && SetForegroundWindow(h) ? 0 : 1;
    }
    if (cmd == L"holdhotkey" && argc > 5) {
        if (!RegisterHotKey(nullptr, 1, static_cast<UINT>(_wtoi(argv[2])),
                            static_cast<UINT>(_wtoi(argv[3]))))
            return 1;
        writeOut(argv[5], "held\n");
        const DWORD until = GetTickCount() + static_cast<DWORD>(_wtoi(argv[4]));
        MSG msg;  // a thread's hotkeys are heard through its message queue
        while (GetTickCount() < until) {
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(10);
        }
        UnregisterHotKey(nullptr, 1);
        return 0;
    }
    if (cmd == L"clipinfo" && argc > 2) {
        std::string out;
        if (OpenClipboard(nullptr)) {
            char buf[200];
            out += "owner=" + className(GetClipboardOwner()) + "\n";
            if (HANDLE t = GetClipboardData(CF_UNICODETEXT))
                out += "text=" + utf8(static_cast<const wchar_t*>(GlobalLock(t))) + "\n",
                    GlobalUnlock(t);
            const std::pair<const char*, UINT> dwords[] = {
                {"locale", CF_LOCALE},
                {"history", RegisterClipboardFormatW(L"CanIncludeInClipboardHistory")},
                {"cloud", RegisterClipboardFormatW(L"CanUploadToCloudClipboard")}};
            for (const auto& [name, format] : dwords) {
                HANDLE d = IsClipboardFormatAvailable(format) ? GetClipboardData(format) : nullptr;
                if (!d) continue;
                snprintf(buf, sizeof buf, "%s=0x%lx\n", name,
                         (unsigned long)*static_cast<const DWORD*>(GlobalLock(d)));
                GlobalUnlock(d);
                out += buf;
            }
            CloseClipboard();
        }
        writeOut(argv[2], out);
        return 0;
    }
    if (cmd == L"checked" && argc > 4) {
        HWND top = findTop(argv[2], nullptr);
        HWND box = top ? GetDlgItem(top, _wtoi(argv[3])) : nullptr;
        char buf[40];
        snprintf(buf, sizeof buf, "found=%d\nchecked=%d\n", box != nullptr,
                 box ? (int)SendMessageW(box, BM_GETCHECK, 0, 0) : -1);
        writeOut(argv[4], buf);
        return 0;
    }
    if (cmd == L"cover" && argc > 7) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = (HBRUSH)GetStockObject(DKGRAY_BRUSH);
        wc.lpszClassName = L"E2ECover";
        RegisterClassW(&wc);
        HWND h =
            CreateWindowExW(_wtoi(argv[6]) ? WS_EX_TOPMOST : 0, L"E2ECover", L"cover",
                            WS_POPUP | WS_VISIBLE, _wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]),
                            _wtoi(argv[5]), nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(h);
        // As the taskbar or another always-on-top window does when the user activates it: to
        // the front of every window, the bar included.
        SetWindowPos(h, _wtoi(argv[6]) ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE);
        const DWORD end = GetTickCount() + static_cast<DWORD>(_wtoi(argv[7]));
        MSG msg;
        while (GetTickCount() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        DestroyWindow(h);
        return 0;
    }
    if (cmd == L"zorder" && argc > 2) {
        std::string out = "zorder=";
        for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
            if (IsWindowVisible(h)) out += className(h) + ",";
        HWND bar = FindWindowW(kBarClass, nullptr);
        out += "\nbar_topmost=" +
               std::to_string(bar && (GetWindowLongW(bar, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0) +
               "\n";
        writeOut(argv[2], out);
        return 0;
    }
    if (cmd == L"chatclear") {
        HWND chat = findTop(L"E2EChat", nullptr);
        HWND edit = chat ? FindWindowExW(chat, nullptr, L"Edit", nullptr) : nullptr;
        if (!edit) return 1;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        // Wine's edit control does not notify a change made by WM_SETTEXT: the chat's log
        // follows EN_CHANGE.
        SendMessageW(chat, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE),
                     reinterpret_cast<LPARAM>(edit));
        return 0;
    }
    if (cmd == L"hidden" && argc > 5) {
        const DWORD end = GetTickCount() + static_cast<DWORD>(_wtoi(argv[3]));
        const auto shown = [&] {
            for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, argv[2], nullptr)) != nullptr;)
                if (IsWindowVisible(h)) return true;
            return false;
        };
        writeOut(argv[4], "ready\n");
        bool seen = false;
        while (!(seen = shown()) && GetTickCount() < end) Sleep(10);
        while (seen && shown() && GetTickCount() < end) Sleep(10);
        std::string out = "hidden=";
        if (seen && !shown()) {
            FILETIME ft{};
            GetSystemTimeAsFileTime(&ft);
            const ULONGLONG since1601 = (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
            char buf[40];
            snprintf(buf, sizeof buf, "%.3f", (since1601 - 116444736000000000ULL) / 1e7);
            out += buf;
        }
        writeOut(argv[5], out + "\n");
        return 0;
    }
    if (cmd == L"mark") {
        INPUT keys[2] = {};
        for (INPUT& k : keys) {
            k.type = INPUT_KEYBOARD;
            k.ki.wVk = VK_F24;
        }
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        return SendInput(2, keys, sizeof(INPUT)) == 2 ? 0 : 1;
    }
    if (cmd == L"keystate" && argc > 2) {
        char buf[200];
        auto down = [](int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; };
        snprintf(buf, sizeof buf, "shift=%d\nctrl=%d\nalt=%d\nwin=%d\n", down(VK_SHIFT),
                 down(VK_CONTROL), down(VK_MENU), down(VK_LWIN) || down(VK_RWIN));
        writeOut(argv[2], buf);
        return 0;
    }
    if (cmd == L"showwin" && argc > 3) {
        HWND h = findTop(argv[2], nullptr);
        if (!h) return 1;
        ShowWindow(h, _wtoi(argv[3]));
        return 0;
    }
    if (cmd == L"close") {
        HWND bar = FindWindowW(kBarClass, nullptr);
        if (!bar) return 1;
        PostMessageW(bar, WM_CLOSE, 0, 0);
        return 0;
    }
    if (cmd == L"find" && argc > 4) {
        HWND h = findTop(argv[2][0] ? argv[2] : nullptr, argv[3][0] ? argv[3] : nullptr);
        char buf[200] = "found=0\n";
        RECT r{};
        if (h && GetWindowRect(h, &r))
            snprintf(buf, sizeof buf,
                     "found=1\nx=%ld\ny=%ld\nw=%ld\nh=%ld\nvisible=%d\nzoomed=%d\ncaption=%d\n",
                     r.left, r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(h) != 0,
                     IsZoomed(h) != 0, (GetWindowLongW(h, GWL_STYLE) & WS_CAPTION) == WS_CAPTION);
        writeOut(argv[4], buf);
        return 0;
    }
    const wchar_t* key = L"Software\\DAZ\\Registry";
    if (cmd == L"regget" && argc > 2) {
        HKEY k = nullptr;
        std::string out = "exists=0\n";
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &k) == ERROR_SUCCESS) {
            DWORD type = 0, size = 0;
            if (RegQueryValueExW(k, L"String3", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
                std::vector<wchar_t> buf(size / 2 + 1, 0);
                RegQueryValueExW(k, L"String3", nullptr, &type, (BYTE*)buf.data(), &size);
                char head[100];
                snprintf(head, sizeof head,
                         "exists=1\ntype=%lu\nbytes=%lu\nvalue=", (unsigned long)type,
                         (unsigned long)size);
                out = head + utf8(std::wstring(buf.data())) + "\n";  // up to the first NUL
            }
            RegCloseKey(k);
        }
        writeOut(argv[2], out);
        return 0;
    }
    if (cmd == L"regset" && argc > 2) {
        FILE* f = _wfopen(argv[2], L"rb");
        if (!f) return 1;
        std::string bytes;
        char b[4096];
        for (size_t n; (n = fread(b, 1, sizeof b, f)) > 0;) bytes.append(b, n);
        fclose(f);
        int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
        std::wstring w(n, L'\0');
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), (int)bytes.size(), w.data(), n);
        HKEY k = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr);
        RegSetValueExW(k, L"String3", 0, REG_SZ, (const BYTE*)w.data(), (DWORD)(w.size() * 2));
        RegCloseKey(k);
        return 0;
    }
    if (cmd == L"regdel") {
        RegDeleteKeyW(HKEY_CURRENT_USER, key);
        return 0;
    }
    return 2;
}

std::string readAll(const std::wstring& path) {
    std::string bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return bytes;
    char b[4096];
    for (size_t n; (n = fread(b, 1, sizeof b, f)) > 0;) bytes.append(b, n);
    fclose(f);
    return bytes;
}

std::wstring wide(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), w.data(), n);
    return w;
}

// The requests in DIR, oldest name first, each answered once: its file is gone before the
// answer is written, and the answer is renamed into place whole.
[[noreturn]] void serve(const std::wstring& dir) {
    // A request's arrival wakes the server at once; without the notice it still looks every
    // 50 ms.
    HANDLE change = FindFirstChangeNotificationW(dir.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    writeOut(dir + L"\\ready", "ready\n");
    for (;;) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((dir + L"\\*.req").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do names.push_back(found.cFileName);
            while (FindNextFileW(find, &found));
            FindClose(find);
        }
        for (const std::wstring& name : names) {
            const std::wstring request = dir + L"\\" + name;
            const std::string bytes = readAll(request);
            DeleteFileW(request.c_str());
            std::vector<std::wstring> args{L"e2e_probe"};
            for (size_t at = 0, end; (end = bytes.find('\0', at)) != std::string::npos; at = end + 1)
                args.push_back(wide(bytes.substr(at, end - at)));
            std::vector<wchar_t*> argv;
            for (std::wstring& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            const int status = run(static_cast<int>(args.size()), argv.data());
            const std::wstring base = request.substr(0, request.size() - 4);
            writeOut(base + L".part", std::to_string(status) + "\n");
            MoveFileExW((base + L".part").c_str(), (base + L".rc").c_str(), MOVEFILE_REPLACE_EXISTING);
        }
        // Nothing is expected, but a process of the desktop answers what it is sent.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (!names.empty()) continue;
        if (change == INVALID_HANDLE_VALUE) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        } else if (MsgWaitForMultipleObjects(1, &change, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) {
            FindNextChangeNotification(change);
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc > 2 && std::wstring(argv[1]) == L"serve") serve(argv[2]);
    return run(argc, argv);
}
