#include "settings/settings_window_win32.h"

#include <commctrl.h>

#include "core/geometry.h"
#include "win/interface_win32.h"
#include "win/modal_win32.h"
#include "win/window_class.h"

namespace replybar::settings {

namespace {

constexpr wchar_t kClassName[] = L"ReplyBar.Settings";
constexpr wchar_t kCaption[] = L" 软件信息 及 设置";

enum ControlId {
    kConfirm = IDOK,  // "确定 返回": Enter
    kOpenFolder = 1002,
    kDefaultFolder = 1003,
    kExitProgram = 1004,
    kAddReplies = 1005,
    kSetHomePage = 1006,
    kDefaultHomeButton = 1007,
    kSendCtrlEnter = 1008,
    kSendEnter = 1009,
    kStartWithWindows = 1010,
    kChooseTeamLibrary = 1011,
    kAgentNameField = 1105,
    kAgentNameFrame = 1206,
    kAgentNameHint = 1406,
    kFolderField = 1101,
    kHomePageField = 1102,
    kHotkeyField = 1103,
    kTeamLibraryField = 1104,
    kAboutFrame = 1201,
    kFolderFrame = 1202,
    kHomePageFrame = 1203,
    kKeysFrame = 1204,
    kTeamLibraryFrame = 1205,
    kWebSiteLink = 1301,
    kMailLink = 1302,
    kDownloadLink = 1303,
    kHotkeyLabel = 1401,
    kSendKeyLabel = 1402,
    kStartNote = 1403,
    kTeamLibraryHint = 1404,
    kTeamLibraryStatus = 1405,
};
constexpr UINT_PTR kTeamStatusTimer = 1;

// The frames, in twips on the dialog; the controls inside a frame are placed relative to it.
constexpr TwipRect kAboutBox{180, 60, 7785, 1275};
constexpr TwipRect kFolderBox{180, 1470, 7785, 825};
constexpr TwipRect kHomePageBox{180, 2430, 7785, 825};
// Below the home page frame, as far from it as the frames are from each other; the row of
// buttons moves down by as much as the frame takes, gap included.
constexpr TwipRect kKeysBox{180, 3390, 7785, 1275};
// The agent's name, then the team library's frame, below it in the same way.
constexpr TwipRect kAgentNameBox{180, kKeysBox.top + kKeysBox.height + 135, 7785, 825};
constexpr TwipRect kTeamLibraryBox{180, kAgentNameBox.top + kAgentNameBox.height + 135, 7785, 1350};
constexpr int kButtonRowTop = kTeamLibraryBox.top + kTeamLibraryBox.height + 135;
constexpr int kClientW = 8115, kClientH = kButtonRowTop + 345 + 105;  // twips

static_assert(keys::kHotkeyShift == HOTKEYF_SHIFT && keys::kHotkeyControl == HOTKEYF_CONTROL &&
              keys::kHotkeyAlt == HOTKEYF_ALT && keys::kHotkeyExtended == HOTKEYF_EXT);

RECT pixels(const TwipRect& p, const TwipRect& frame = {}) {
    const PxRect r = toPixels({frame.left + p.left, frame.top + p.top, p.width, p.height});
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

SettingsWindow::SettingsWindow(const Context& context)
    : context_(context),
      dialog_(context.state, {shell_, messages_, runAtLogon_, win::exePath()},
              *this, context.bar) {}

SettingsOutcome SettingsWindow::showModal(const Context& context) {
    win::registerWindowClass<SettingsWindow>(kClassName, 0, nullptr, ::GetSysColorBrush(COLOR_BTNFACE));
    // The hotkey field's class; the common controls are up by now, this only makes sure of it.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&icc);
    SettingsWindow form(context);
    // No WS_CLIPCHILDREN: the frames are children that leave their inside to the dialog.
    win::createDialogWindow(kClassName, kCaption, twipsToPixels(kClientW), twipsToPixels(kClientH),
                            0, context.owner, &form);
    if (!form.hwnd_) return SettingsOutcome::Discarded;
    form.shell_.setOwner(form.hwnd_);
    form.messages_.setOwner(form.hwnd_);
    form.createControls();
    // The bar takes the team library's news on this thread meanwhile (the queue's messages come
    // through the dialog's loop); the status line looks at it each second.
    ::SetTimer(form.hwnd_, kTeamStatusTimer, 1000, nullptr);
    win::runModal(form.hwnd_, context.owner, context.userWindow, form.done_,
                  {[&] { form.dialog_.open(); },
                   [&] { context.atAgentName ? form.focusAgentName() : form.focusFolder(); }, {}});
    return form.dialog_.outcome();
}

void SettingsWindow::createControls() {
    font_ = win::makeInterfaceFont();
    auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, const RECT& r, int id,
                    DWORD ex = 0) { return control(cls, text, style, r, id, ex); };
    createInformation();
    // Created top to bottom, which is the tab order. "打开文件夹" sits on the folder frame's top edge, over
    // the caption's trailing spaces.
    const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
    make(L"BUTTON", L"打开文件夹", button, pixels({2820, 1425, 1305, 285}), kOpenFolder);
    folder_ = std::make_unique<controls::FolderBrowser>(
        hwnd_, kFolderField, pixels({210, 330, 6555, 345}, kFolderBox), font_.get());
    make(L"BUTTON", L"默认", button, pixels({6870, 330, 735, 345}, kFolderBox), kDefaultFolder);
    homeField_ =
        make(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, pixels({210, 300, 5595, 345}, kHomePageBox),
             kHomePageField, WS_EX_CLIENTEDGE);
    make(L"BUTTON", L"设置", button, pixels({6030, 300, 735, 345}, kHomePageBox), kSetHomePage);
    make(L"BUTTON", L"默认", button, pixels({6900, 300, 735, 345}, kHomePageBox), kDefaultHomeButton);
    createKeysFrame();
    agentField_ = make(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL,
                       pixels({210, 300, 2100, 345}, kAgentNameBox), kAgentNameField,
                       WS_EX_CLIENTEDGE);
    ::SendMessageW(agentField_, EM_LIMITTEXT, kAgentNameMax, 0);
    agentHint_ = make(L"STATIC", L"回复里的 {客服} 会换成这个称呼",
                      SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE,
                      pixels({2430, 300, 5175, 345}, kAgentNameBox), kAgentNameHint);
    createTeamLibraryFrame();
    make(L"BUTTON", L"退出本程序", button, pixels({180, kButtonRowTop, 1365, 345}), kExitProgram);
    make(L"BUTTON", L"添加快捷回复信息", button, pixels({4590, kButtonRowTop, 1725, 345}),
         kAddReplies);
    make(L"BUTTON", L"确定 返回", WS_TABSTOP | BS_DEFPUSHBUTTON,
         pixels({6420, kButtonRowTop, 1545, 345}), kConfirm);
    // The frames last: beneath every control, so that none of them is painted over.
    const DWORD frame = BS_GROUPBOX | WS_CLIPSIBLINGS;
    make(L"BUTTON", L"软件信息", frame, pixels(kAboutBox), kAboutFrame);
    make(L"BUTTON", L"设置快速启动栏的文件夹地址                 ", frame, pixels(kFolderBox),
         kFolderFrame);
    make(L"BUTTON", L"设置快速启动栏IE首页", frame, pixels(kHomePageBox), kHomePageFrame);
    make(L"BUTTON", L"快捷键与启动", frame, pixels(kKeysBox), kKeysFrame);
    make(L"BUTTON", L"我的称呼", frame, pixels(kAgentNameBox), kAgentNameFrame);
    make(L"BUTTON", L"团队回复库", frame, pixels(kTeamLibraryBox), kTeamLibraryFrame);
}

// The hotkey and the send key on the first row, the start box and its note on the second, each
// row's controls as high as the other frames' fields and its labels centred beside them.
void SettingsWindow::createKeysFrame() {
    auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, const TwipRect& at,
                    int id, DWORD ex = 0) {
        return control(cls, text, style, pixels(at, kKeysBox), id, ex);
    };
    const DWORD label = SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE;
    make(L"STATIC", L"呼出快捷回复：", label, {210, 300, 1290, 345}, kHotkeyLabel);
    hotkeyField_ = make(HOTKEY_CLASSW, L"", WS_TABSTOP, {1500, 300, 2100, 345}, kHotkeyField,
                        WS_EX_CLIENTEDGE);
    // A key pressed alone, or with Shift only, is typing: the field adds Ctrl+Alt to it.
    ::SendMessageW(hotkeyField_, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                   MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    // The row ends where the buttons above end. The choices leave room for the round button,
    // which grows with the screen's DPI where the system does not scale the bar (200 %: 25 px).
    make(L"STATIC", L"自动发送时按：", label, {3780, 300, 1290, 345}, kSendKeyLabel);
    sendCtrlEnter_ = make(L"BUTTON", L"Ctrl+Enter", WS_GROUP | BS_AUTORADIOBUTTON,
                          {5070, 300, 1440, 345}, kSendCtrlEnter);
    sendEnter_ = make(L"BUTTON", L"Enter", BS_AUTORADIOBUTTON, {6600, 300, 1035, 345}, kSendEnter);
    // The box as wide as its mark and caption, so that the note can follow the caption.
    startWithWindows_ =
        make(L"BUTTON", L"开机时自动启动快捷回复条", WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX,
             {210, 750, 2535, 345}, kStartWithWindows);
    // Why an entry is not ticked, right after the caption, up to where the row above ends; a
    // long path gives up its middle there, and the tip shows the whole note.
    startNote_ = make(L"STATIC", L"", label | SS_PATHELLIPSIS | SS_NOTIFY, {2790, 750, 4845, 345},
                      kStartNote);
    noteTip_ = win::createTooltipWindow(hwnd_);
    win::addTool(noteTip_, hwnd_, reinterpret_cast<UINT_PTR>(startNote_),
                 TTF_IDISHWND | TTF_SUBCLASS, {}, L"");
}

// The location and its button on the first row, laid out as the folder frame's; under them the
// hint in grey, then the status line, cut short at its end when it does not fit.
void SettingsWindow::createTeamLibraryFrame() {
    auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, const TwipRect& at,
                    int id, DWORD ex = 0) {
        return control(cls, text, style, pixels(at, kTeamLibraryBox), id, ex);
    };
    teamField_ = make(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, {210, 300, 6555, 345},
                      kTeamLibraryField, WS_EX_CLIENTEDGE);
    make(L"BUTTON", L"选择…", WS_TABSTOP | BS_PUSHBUTTON, {6870, 300, 735, 345},
         kChooseTeamLibrary);
    const DWORD label = SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE;
    teamHint_ = make(L"STATIC", L"网络共享、同步文件夹中的 CSV 文件，或 http(s) 地址", label,
                     {210, 675, 7395, 255}, kTeamLibraryHint);
    teamStatus_ = make(L"STATIC", L"", label | SS_ENDELLIPSIS | SS_NOTIFY, {210, 930, 7395, 255},
                       kTeamLibraryStatus);
    win::addTool(noteTip_, hwnd_, reinterpret_cast<UINT_PTR>(teamStatus_),
                 TTF_IDISHWND | TTF_SUBCLASS, {}, L"");
}

// Tab goes to the chosen one of the two, the arrows to the other, as in every dialog.
void SettingsWindow::updateSendKeyTabStop() {
    for (HWND choice : {sendCtrlEnter_, sendEnter_}) {
        const bool checked = ::SendMessageW(choice, BM_GETCHECK, 0, 0) == BST_CHECKED;
        const LONG_PTR style = ::GetWindowLongPtrW(choice, GWL_STYLE);
        ::SetWindowLongPtrW(choice, GWL_STYLE, checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

// A child control in the dialog's font.
HWND SettingsWindow::control(const wchar_t* cls, const wchar_t* text, DWORD style, const RECT& r,
                             int id, DWORD exStyle) {
    return win::makeChildControl(hwnd_, font_.get(), cls, text, style, r, id, exStyle);
}

// Three rows of a caption and a value in the about frame; the values that are addresses are links.
void SettingsWindow::createInformation() {
    const int left = twipsToPixels(kAboutBox.left) + 14,
              right = twipsToPixels(kAboutBox.left) + 236;
    const int row1 = twipsToPixels(kAboutBox.top) + 22, row2 = row1 + 22, row3 = row2 + 22;
    link(kProductLine, nullptr, left, row1, -1);
    link(L"官方网站： ", kWebSite, right, row1, kWebSiteLink);
    link(L"联系邮箱： ", kMailAddress, left, row2, kMailLink);
    link(kContactLine, nullptr, right, row2, -1);
    link(L"其它软件： ", kDownloadPage, left, row3, kDownloadLink);
}

// A caption label at (x, y) and, when there is an address, a link label right after it.
HWND SettingsWindow::link(const wchar_t* caption, const wchar_t* address, int x, int y, int id) {
    const HINSTANCE inst = ::GetModuleHandleW(nullptr);
    win::WindowDc dc(hwnd_);
    win::SelectGuard keep(dc.get(), font_.get());
    auto label = [&](const wchar_t* text, DWORD style, int at, int labelId) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc.get(), text, ::lstrlenW(text), &size);
        HWND h = ::CreateWindowExW(0, L"STATIC", text,
                                   WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | style, at, y,
                                   size.cx, size.cy, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(labelId)), inst,
                                   nullptr);
        ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return std::pair{h, static_cast<int>(size.cx)};
    };
    const auto [captionLabel, width] = label(caption, 0, x, -1);
    if (!address) return captionLabel;
    HWND h = label(address, SS_NOTIFY, x + width, id).first;
    links_.push_back(h);
    return h;
}

LRESULT SettingsWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND: onCommand(LOWORD(wp), HIWORD(wp)); return 0;
        case WM_CTLCOLORSTATIC:
            if (const HWND label = reinterpret_cast<HWND>(lp);
                label == teamHint_ || label == agentHint_) {
                const HDC dc = reinterpret_cast<HDC>(wp);
                ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            for (HWND l : links_) {
                if (reinterpret_cast<HWND>(lp) != l) continue;
                const HDC dc = reinterpret_cast<HDC>(wp);
                ::SetTextColor(dc, RGB(0, 0, 255));
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (onSetCursor(reinterpret_cast<HWND>(wp))) return TRUE;
            break;
        case WM_CLOSE: dialog_.cancelled(); return 0;
        case WM_TIMER:
            if (wp == kTeamStatusTimer) dialog_.teamLibraryStatusDue();
            return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

bool SettingsWindow::onSetCursor(HWND over) {
    for (HWND l : links_)
        if (over == l) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return true;
        }
    return false;
}

void SettingsWindow::onCommand(int id, int code) {
    const bool clicked = code == BN_CLICKED;  // STN_CLICKED of a link is 0 too
    if (!clicked) return;
    switch (id) {
        case kConfirm: dialog_.confirmClicked(); break;
        case IDCANCEL: dialog_.cancelled(); break;
        case kOpenFolder: dialog_.openFolderClicked(); break;
        case kDefaultFolder: dialog_.defaultFolderClicked(); break;
        case kExitProgram: dialog_.exitClicked(); break;
        case kAddReplies: dialog_.addRepliesClicked(); break;
        case kSetHomePage: dialog_.setHomeClicked(); break;
        case kDefaultHomeButton: dialog_.defaultHomeClicked(); break;
        case kWebSiteLink: dialog_.linkClicked(Link::WebSite); break;
        case kMailLink: dialog_.linkClicked(Link::Mail); break;
        case kDownloadLink: dialog_.linkClicked(Link::Download); break;
        case kSendCtrlEnter:
        case kSendEnter: updateSendKeyTabStop(); break;
        case kChooseTeamLibrary: dialog_.chooseTeamLibraryClicked(); break;
    }
}

std::wstring SettingsWindow::folderText() { return folder_->Text(); }
void SettingsWindow::setFolderText(const std::wstring& text) { folder_->Text(text); }
void SettingsWindow::focusFolder() { ::SetFocus(folder_->textBox()); }

std::wstring SettingsWindow::homeText() { return win::windowText(homeField_); }

void SettingsWindow::setHomeText(const std::wstring& text) {
    ::SetWindowTextW(homeField_, text.c_str());
}
void SettingsWindow::enableHome(bool on) { ::EnableWindow(homeField_, on); }
void SettingsWindow::focusHome() { ::SetFocus(homeField_); }

std::uint16_t SettingsWindow::hotkeyWord() {
    return static_cast<std::uint16_t>(::SendMessageW(hotkeyField_, HKM_GETHOTKEY, 0, 0));
}
void SettingsWindow::setHotkeyWord(std::uint16_t word) {
    ::SendMessageW(hotkeyField_, HKM_SETHOTKEY, word, 0);
}
void SettingsWindow::focusHotkey() { ::SetFocus(hotkeyField_); }

keys::SendKey SettingsWindow::sendKey() {
    return ::SendMessageW(sendEnter_, BM_GETCHECK, 0, 0) == BST_CHECKED ? keys::SendKey::Enter
                                                                        : keys::SendKey::CtrlEnter;
}
void SettingsWindow::setSendKey(keys::SendKey key) {
    const bool enter = key == keys::SendKey::Enter;
    ::SendMessageW(sendCtrlEnter_, BM_SETCHECK, enter ? BST_UNCHECKED : BST_CHECKED, 0);
    ::SendMessageW(sendEnter_, BM_SETCHECK, enter ? BST_CHECKED : BST_UNCHECKED, 0);
    updateSendKeyTabStop();
}

bool SettingsWindow::startWithWindows() {
    return ::SendMessageW(startWithWindows_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void SettingsWindow::setStartWithWindows(bool on) {
    ::SendMessageW(startWithWindows_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
void SettingsWindow::setStartNote(const std::wstring& note) { setTip(startNote_, note); }

// The text of a one-line label and of its tip, which shows it whole.
void SettingsWindow::setTip(HWND control, const std::wstring& text) {
    ::SetWindowTextW(control, text.c_str());
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(noteTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring SettingsWindow::teamLibraryText() { return win::windowText(teamField_); }
void SettingsWindow::setTeamLibraryText(const std::wstring& text) {
    ::SetWindowTextW(teamField_, text.c_str());
}
void SettingsWindow::focusTeamLibrary() { ::SetFocus(teamField_); }
void SettingsWindow::setTeamLibraryStatus(const std::wstring& status) {
    setTip(teamStatus_, status);
}

std::optional<std::wstring> SettingsWindow::chooseTeamLibraryFile(const std::wstring& initial) {
    // The pairs of a caption and its patterns, each ended by a NUL, the last by two.
    static constexpr wchar_t kFilter[] = L"CSV 文件 (*.csv)\0*.csv\0所有文件 (*.*)\0*.*\0";
    return win::chooseFileToOpen(hwnd_, L"选择团队回复库文件", kFilter, initial);
}
std::wstring SettingsWindow::agentNameText() { return win::windowText(agentField_); }
void SettingsWindow::setAgentNameText(const std::wstring& text) {
    ::SetWindowTextW(agentField_, text.c_str());
}
void SettingsWindow::focusAgentName() {
    ::SetFocus(agentField_);
    ::SendMessageW(agentField_, EM_SETSEL, 0, -1);
}
void SettingsWindow::close() { done_ = true; }

}  // namespace replybar::settings
