#include "reply/reply_editor_window_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include "fill/fill_fields.h"
#include "win/handles.h"
#include "win/interface_win32.h"
#include "win/shell_win32.h"
#include "win/modal_win32.h"
#include "win/window_class.h"

namespace replybar {

namespace {

constexpr wchar_t kClassName[] = L"ReplyBar.ReplyEditor";
constexpr wchar_t kStripClass[] = L"ReplyBar.IconStrip";
// The export and import buttons have a column of their own at the right, beside 添加 and 删除.
constexpr int kClientW = 649, kClientH = 169;

enum ControlId {
    kChooseIcon = 106,
    kClearIcon = 107,
    kPreview = 102,
    kList = 101,
    kText = 110,
    kAdd = 121,
    kCancelAdd = 128,
    kDelete = 122,
    kExport = 132,
    kImport = 133,
    kExit = 125,
    kAutoSend = 131,
    kConfirm = 123,
    kInsertField = 134,
    kReturn = IDCANCEL,
};

RECT iconCell(int i) {  // icon i inside the strip
    const int left = 4 + 23 * (i % 5), top = i < 5 ? 4 : 26;
    return {left, top, left + 16, top + 16};
}

}  // namespace

// The icon strip: ten icons in a raised box; a click on one gives that icon to the reply.
LRESULT IconStrip::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            win::PaintDc dc(hwnd_);
            RECT r{};
            ::GetClientRect(hwnd_, &r);
            ::FillRect(dc.get(), &r, ::GetSysColorBrush(COLOR_BTNFACE));
            ::DrawEdge(dc.get(), &r, EDGE_RAISED, BF_RECT);
            for (int i = 0; i < 10; ++i) {
                const RECT c = iconCell(i);
                if (icons[i])
                    ::DrawIconEx(dc.get(), c.left, c.top, icons[i], 16, 16, 0, nullptr, DI_NORMAL);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
            for (int i = 0; i < 10; ++i) {
                const RECT c = iconCell(i);
                const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
                if (::PtInRect(&c, p)) {
                    if (clicked) clicked(i);
                    break;
                }
            }
            return 0;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

// The reply text box: Tab and Esc belong to the dialog, Enter is a line break, Ctrl+A selects all.
LRESULT ReplyEditorWindow::handleChildMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                              WNDPROC original) {
    if (msg == WM_GETDLGCODE) {
        LRESULT code = ::CallWindowProcW(original, hwnd, msg, wp, lp);
        if (auto* m = reinterpret_cast<MSG*>(lp);
            m && m->message == WM_KEYDOWN && (m->wParam == VK_TAB || m->wParam == VK_ESCAPE))
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        return code;
    }
    if (msg == WM_CHAR && wp == 1) {
        ::SendMessageW(hwnd, EM_SETSEL, 0, -1);
        return 0;
    }
    return ::CallWindowProcW(original, hwnd, msg, wp, lp);
}

ReplyEditorWindow::ReplyEditorWindow(const Context& context)
    : context_(context),
      store_(context.files, messages_, context.dataDir),
      editor_(context.replies, store_, messages_, *this, *this, context.files, *this) {}

ReplyEditorWindow::Result ReplyEditorWindow::showModal(const Context& context) {
    win::registerWindowClass<ReplyEditorWindow>(kClassName, 0, nullptr,
                                                ::GetSysColorBrush(COLOR_BTNFACE));
    win::registerWindowClass<IconStrip>(kStripClass, 0, ::LoadCursorW(nullptr, IDC_HAND));
    ReplyEditorWindow form(context);
    win::createDialogWindow(kClassName, L"快捷回复设置", kClientW, kClientH, WS_CLIPCHILDREN,
                            context.owner, &form);
    if (!form.hwnd_) return Result::Closed;
    form.messages_.setOwner(form.hwnd_);
    form.createControls();
    win::runModal(form.hwnd_, context.owner, context.userWindow, form.done_,
                  {[&] {  // not on screen yet: focusing does nothing
                       if (context.newReplyText)
                           form.editor_.openAdding(*context.newReplyText,
                                                   context.newReplyIcon);
                       else
                           form.editor_.open(context.firstRow);
                   },
                   [&] {
                       form.onScreen_ = true;
                       form.focusText();
                   },
                   [&] { form.editor_.closing(); }});
    return form.exitRequested_ ? Result::ExitProgram : Result::Closed;
}

void ReplyEditorWindow::createControls() {
    font_ = win::makeInterfaceFont();
    const HINSTANCE inst = ::GetModuleHandleW(nullptr);
    auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w,
                    int h, int id, DWORD ex = 0) {
        HWND c =
            ::CreateWindowExW(ex, cls, text, WS_CHILD | style, x, y, w, h, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
        ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return c;
    };
    const DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    // Created in tab order, which follows the layout: top row, text, right column, bottom row.
    hint_ = make(L"STATIC", L"用图标为回复进行简单分类。", WS_VISIBLE | SS_LEFT, 6, 8, 156, 12, -1);
    chooseIcon_ = make(L"BUTTON", L"选择图标", button, 194, 4, 61, 19, kChooseIcon);
    clearIcon_ = make(L"BUTTON", L"清除图标", button, 260, 4, 61, 19, kClearIcon);
    preview_ =
        make(L"STATIC", nullptr, WS_VISIBLE | SS_ICON | SS_CENTERIMAGE, 342, 6, 16, 16, kPreview);
    list_ = make(WC_COMBOBOXW, nullptr, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                 364, 4, 61, 240, kList);
    text_ = make(L"EDIT", nullptr,
                 WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_CLIPSIBLINGS | ES_MULTILINE |
                     ES_AUTOVSCROLL | ES_WANTRETURN,
                 6, 28, 419, 101, kText, WS_EX_CLIENTEDGE);
    win::subclassChild(text_, this);
    add_ = make(L"BUTTON", L"添加", button, 434, 30, 99, 23, kAdd);
    cancelAdd_ =
        make(L"BUTTON", L"取消添加", WS_TABSTOP | BS_PUSHBUTTON, 434, 30, 99, 23, kCancelAdd);
    delete_ = make(L"BUTTON", L"删除", button, 434, 62, 99, 23, kDelete);
    export_ = make(L"BUTTON", L"导出…", button, 542, 30, 99, 23, kExport);
    import_ = make(L"BUTTON", L"导入…", button, 542, 62, 99, 23, kImport);
    insertField_ = make(L"BUTTON", L"插入字段…", button, 434, 94, 99, 23, kInsertField);
    exit_ = make(L"BUTTON", L"退出本程序", button, 6, 138, 81, 23, kExit);
    // The caption names the key auto-send presses, as the settings chose it.
    autoSend_ = make(L"BUTTON",
                     context_.sendKey == keys::SendKey::Enter ? L"自动发送（发送Enter）"
                                                              : L"自动发送（发送Ctrl+Enter）",
                     WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 102, 144, 197, 13, kAutoSend);
    confirm_ = make(L"BUTTON", L"修改确定", button, 326, 138, 99, 23, kConfirm);
    return_ = make(L"BUTTON", L"返回", button, 434, 138, 99, 23, kReturn);
    iconStrip_.icons = context_.icons;
    iconStrip_.clicked = [this](int icon) { editor_.iconClicked(icon); };
    strip_ = ::CreateWindowExW(0, kStripClass, nullptr, WS_CHILD | WS_CLIPSIBLINGS, 194, 23, 123,
                               51, hwnd_, nullptr, inst, &iconStrip_);
}

LRESULT ReplyEditorWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND: onCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)); return 0;
        case WM_SETCURSOR: {
            const HWND over = reinterpret_cast<HWND>(wp);
            if (HIWORD(lp) == WM_MOUSEMOVE &&
                (over == hwnd_ || over == text_ || over == clearIcon_ || over == hint_))
                editor_.pointerOverBackground();
            break;
        }
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lp) != text_) {
                ::SetBkColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_CLOSE: editor_.returnClicked(); return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

void ReplyEditorWindow::onCommand(int id, int code, HWND) {
    switch (id) {
        case kChooseIcon: editor_.chooseIconClicked(); break;
        case kClearIcon: editor_.clearIconClicked(); break;
        case kList:
            if (code == CBN_SELCHANGE) {
                const auto row = static_cast<int>(::SendMessageW(list_, CB_GETCURSEL, 0, 0));
                editor_.listSelected(row >= 0 ? std::optional(row) : std::nullopt);
            }
            break;
        case kText:
            if (code == EN_CHANGE && !settingText_) editor_.textChanged();
            break;
        case kAdd: editor_.addClicked(); break;
        case kCancelAdd: editor_.cancelAddClicked(); break;
        case kDelete: editor_.deleteClicked(); break;
        case kExport: editor_.exportClicked(); break;
        case kImport: editor_.importClicked(); break;
        case kInsertField: insertField(); break;
        case kExit: editor_.exitClicked(); break;
        case kAutoSend:
            editor_.autoSendClicked(::SendMessageW(autoSend_, BM_GETCHECK, 0, 0) == BST_CHECKED);
            break;
        case kConfirm: editor_.confirmClicked(); break;
        case kReturn: editor_.returnClicked(); break;
    }
}

// The fields as a menu under the button, each with what it pastes; the one chosen goes in at the
// text's caret, as typed (the editor hears of the change). In {填写:} the caret stays before the
// brace, where the prompt is typed.
void ReplyEditorWindow::insertField() {
    fill::FillContext now;
    now.now = win::localTimeNow();
    now.agent = context_.agentName;
    const std::vector<fill::FieldChoice> choices = fill::fieldChoices(now);
    const win::UniqueMenu menu(::CreatePopupMenu());
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const std::wstring item = choices[i].field + L"\t" + choices[i].pastes;
        ::AppendMenuW(menu.get(), MF_STRING, i + 1, item.c_str());
    }
    RECT r{};
    ::GetWindowRect(insertField_, &r);
    const auto chosen = static_cast<std::size_t>(
        ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, r.left,
                         r.bottom, 0, hwnd_, nullptr));
    ::SetFocus(text_);
    if (chosen == 0 || chosen > choices.size()) return;
    const std::wstring& field = choices[chosen - 1].field;
    ::SendMessageW(text_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(field.c_str()));
    if (field.size() > 2 && field[field.size() - 2] == L':') {
        DWORD end = 0;
        ::SendMessageW(text_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
        ::SendMessageW(text_, EM_SETSEL, end - 1, end - 1);
    }
}

void ReplyEditorWindow::setList(int rows, std::optional<int> selection) {
    ::SendMessageW(list_, CB_RESETCONTENT, 0, 0);
    for (int number = 1; number <= rows; ++number)
        ::SendMessageW(list_, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(std::to_wstring(number).c_str()));
    ::SendMessageW(list_, CB_SETCURSEL, static_cast<WPARAM>(selection.value_or(-1)), 0);
}

void ReplyEditorWindow::enableList(bool on) { ::EnableWindow(list_, on); }

std::wstring ReplyEditorWindow::text() { return win::windowText(text_); }

void ReplyEditorWindow::setText(const std::wstring& text) {
    settingText_ = true;
    ::SetWindowTextW(text_, text.c_str());
    settingText_ = false;
}

void ReplyEditorWindow::focusText() {
    if (onScreen_) ::SetFocus(text_);
}

void ReplyEditorWindow::setPreviewIcon(int icon) {
    HICON h = icon >= 0 && icon < 10 ? context_.icons[icon] : nullptr;
    ::SendMessageW(preview_, STM_SETICON, reinterpret_cast<WPARAM>(h), 0);
    ::InvalidateRect(preview_, nullptr, TRUE);
}

void ReplyEditorWindow::showIconStrip(bool on) {
    if (on)
        ::SetWindowPos(strip_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    else if (::IsWindowVisible(strip_))
        ::ShowWindow(strip_, SW_HIDE);
}

void ReplyEditorWindow::showCancelAdd(bool on) {
    ::ShowWindow(cancelAdd_, on ? SW_SHOW : SW_HIDE);
    ::ShowWindow(add_, on ? SW_HIDE : SW_SHOW);
}

void ReplyEditorWindow::enableDelete(bool on) { ::EnableWindow(delete_, on); }

void ReplyEditorWindow::setAutoSendChecked(bool on) {
    ::SendMessageW(autoSend_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ReplyEditorWindow::close() { done_ = true; }

void ReplyEditorWindow::setPanelSize(const PanelSize& size) { context_.bar.setPanelSize(size); }

namespace {
// The system's open or save dialog over the editor, for CSV files; nullopt when cancelled.
std::optional<std::wstring> chooseCsvFile(HWND owner, bool save, const std::wstring& name) {
    // Excel's "Unicode 文本" is saved as .txt, so opening offers every file too.
    static constexpr wchar_t kSaveFilter[] = L"CSV 文件 (*.csv)\0*.csv\0";
    static constexpr wchar_t kOpenFilter[] =
        L"CSV 文件 (*.csv)\0*.csv\0文本文件 (*.txt)\0*.txt\0所有文件 (*.*)\0*.*\0";
    std::wstring path = name;
    path.resize(32768, L'\0');  // room for a long path on a share
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = save ? kSaveFilter : kOpenFilter;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrDefExt = L"csv";
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn))) return std::nullopt;
    path.resize(::lstrlenW(path.c_str()));
    return path;
}
}  // namespace

std::optional<std::wstring> ReplyEditorWindow::chooseFileToSave(const std::wstring& suggestedName) {
    return chooseCsvFile(hwnd_, true, suggestedName);
}

std::optional<std::wstring> ReplyEditorWindow::chooseFileToOpen() {
    return chooseCsvFile(hwnd_, false, L"");
}

void ReplyEditorWindow::exitProgram() {
    exitRequested_ = true;
    done_ = true;
}

}  // namespace replybar
