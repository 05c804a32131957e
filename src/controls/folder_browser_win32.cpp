#include "controls/folder_browser_win32.h"

#include <shlobj.h>

#include <algorithm>
#include <cassert>
#include <cmath>

#include "win/window_class.h"

namespace replybar::controls {

namespace {

constexpr wchar_t kClassName[] = L"ReplyBar.FolderBrowser";
constexpr int kTextId = 100, kBrowseId = 101;

// 0x800000nn names system colour nn, anything else is 0x00BBGGRR.
COLORREF resolve(std::uint32_t colour) {
    return colour & 0x80000000u ? ::GetSysColor(static_cast<int>(colour & 0xFF))
                                : static_cast<COLORREF>(colour & 0xFFFFFF);
}

int shiftState() {
    return (::GetKeyState(VK_SHIFT) < 0 ? kShiftMask : 0) |
           (::GetKeyState(VK_CONTROL) < 0 ? kCtrlMask : 0) |
           (::GetKeyState(VK_MENU) < 0 ? kAltMask : 0);
}

bool isFolder(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// `data` is the folder to open at, or 0 to leave the dialog where the system puts it.
int CALLBACK browseCallback(HWND dialog, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace

// The text box and the browse button: Alt+Down on either browses, like a combo box drops its list.
LRESULT FolderBrowser::handleChildMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                          WNDPROC original) {
    if ((msg == WM_SYSKEYDOWN || msg == WM_KEYDOWN) &&
        isBrowseKey(static_cast<int>(wp), shiftState())) {
        browse();
        return 0;
    }
    return ::CallWindowProcW(original, hwnd, msg, wp, lp);
}

FolderBrowser::FolderBrowser(HWND parent, int id, const RECT& r, HFONT ambientFont)
    : ambientFont_(ambientFont), font_(ambientFont) {
    win::registerWindowClass<FolderBrowser>(kClassName);
    const HINSTANCE inst = ::GetModuleHandleW(nullptr);
    ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, nullptr,
                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, r.left, r.top,
                      r.right - r.left, r.bottom - r.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, this);
    assert(hwnd_);
    edit_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                              hwnd_, reinterpret_cast<HMENU>(kTextId), inst, nullptr);
    browseButton_ =
        ::CreateWindowExW(0, L"BUTTON", L"设置", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                          0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kBrowseId), inst, nullptr);
    for (HWND child : {edit_, browseButton_}) {
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        win::subclassChild(child, this);
    }
    layout();
}

FolderBrowser::~FolderBrowser() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

LRESULT FolderBrowser::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE: layout(); return 0;
        case WM_PAINT: paint(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_COMMAND:
            if (LOWORD(wp) == kTextId && HIWORD(wp) == EN_CHANGE && Change) Change();
            if (LOWORD(wp) == kBrowseId && HIWORD(wp) == BN_CLICKED) browse();
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:  // a read-only or disabled text box asks this
            if (reinterpret_cast<HWND>(lp) != edit_) break;
            ::SetTextColor(reinterpret_cast<HDC>(wp), resolve(foreColor_));
            ::SetBkColor(reinterpret_cast<HDC>(wp), resolve(backColor_));
            return reinterpret_cast<LRESULT>(backBrush());
        case WM_SETFOCUS: ::SetFocus(edit_); return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

// The size in twips is the window's in pixels times 15, so the rule holds for any size.
void FolderBrowser::layout() {
    RECT c{};
    ::GetClientRect(hwnd_, &c);
    const FolderBrowserLayout l = layoutFolderBrowser(
        c.right * kTwipsPerPixel, c.bottom * kTwipsPerPixel, kBrowseButtonWidth);
    const auto move = [](HWND child, const TwipRect& t) {
        const PxRect r = toPixels(t);
        ::MoveWindow(child, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    };
    move(browseButton_, l.browse);
    move(edit_, l.text);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void FolderBrowser::paint() {
    win::PaintDc dc(hwnd_);
    RECT c{};
    ::GetClientRect(hwnd_, &c);
    ::FillRect(dc.get(), &c, ::GetSysColorBrush(COLOR_BTNFACE));
    const FolderBrowserLayout l = layoutFolderBrowser(
        c.right * kTwipsPerPixel, c.bottom * kTwipsPerPixel, kBrowseButtonWidth);
    const int x = twipsToPixels(l.lineX);
    win::UniquePen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DLIGHT)));
    win::SelectGuard keep(dc.get(), pen.get());
    ::MoveToEx(dc.get(), x, 0, nullptr);
    ::LineTo(dc.get(), x, c.bottom);
}

void FolderBrowser::browse() {
    ::SetFocus(edit_);
    // The dialog starts at the folder the box names, so a small change is a small step.
    if (const auto text = folderTextFromBrowse(BrowseForFolder(hwnd_, kBrowseTitle, Text())))
        Text(*text);
}

std::wstring FolderBrowser::BrowseForFolder(HWND owner, const std::wstring& title,
                                            const std::wstring& startFolder) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = browseCallback;
    if (isFolder(startFolder)) info.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
    PIDLIST_ABSOLUTE list = ::SHBrowseForFolderW(&info);
    if (!list) return L"";
    wchar_t path[512] = {};
    const BOOL ok = ::SHGetPathFromIDListW(list, path);
    ::CoTaskMemFree(list);
    return ok ? path : L"";
}

void FolderBrowser::PropertyChanged(PropertyField field) { changed_.insert(propertyName(field)); }

HBRUSH FolderBrowser::backBrush() {
    if (!backBrush_) backBrush_.reset(::CreateSolidBrush(resolve(backColor_)));
    return backBrush_.get();
}

void FolderBrowser::BackColor(std::uint32_t c) {
    backColor_ = c;
    backBrush_.reset();
    ::InvalidateRect(edit_, nullptr, TRUE);
    PropertyChanged(&FolderBrowserProperties::BackColor);
}

void FolderBrowser::ForeColor(std::uint32_t c) {
    foreColor_ = c;
    ::InvalidateRect(edit_, nullptr, TRUE);
    PropertyChanged(&FolderBrowserProperties::ForeColor);
}

bool FolderBrowser::Enabled() const { return ::IsWindowEnabled(edit_) != FALSE; }

void FolderBrowser::Enabled(bool on) {
    ::EnableWindow(edit_, on);
    PropertyChanged(&FolderBrowserProperties::Enabled);
}

void FolderBrowser::Font(HFONT font) {
    font_ = font;
    ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    PropertyChanged(&FolderBrowserProperties::Font);
}

void FolderBrowser::Refresh() {
    ::InvalidateRect(edit_, nullptr, TRUE);
    ::UpdateWindow(edit_);
}

bool FolderBrowser::Locked() const {
    return (::GetWindowLongPtrW(edit_, GWL_STYLE) & ES_READONLY) != 0;
}

void FolderBrowser::Locked(bool on) {
    ::SendMessageW(edit_, EM_SETREADONLY, on, 0);
    PropertyChanged(&FolderBrowserProperties::Locked);
}

long long FolderBrowser::SelStart() const {
    DWORD start = 0, end = 0;
    ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return start;
}

long long FolderBrowser::SelLength() const {
    DWORD start = 0, end = 0;
    ::SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return static_cast<long long>(end) - start;
}

// Like a text box: a new start drops the selection, a new length extends it from the start.
void FolderBrowser::SelStart(long long start) {
    const auto s = static_cast<LPARAM>(std::max(0LL, start));
    ::SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(s), s);
    PropertyChanged(&FolderBrowserProperties::SelStart);
}

void FolderBrowser::SelLength(long long length) {
    const long long start = SelStart();
    ::SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(start),
                   static_cast<LPARAM>(start + std::max(0LL, length)));
    PropertyChanged(&FolderBrowserProperties::SelLength);
}

std::wstring FolderBrowser::SelText() const {
    const std::wstring all = Text();
    const auto start = static_cast<std::size_t>(SelStart());
    if (start >= all.size()) return L"";
    return all.substr(start, static_cast<std::size_t>(SelLength()));
}

void FolderBrowser::SelText(const std::wstring& text) {
    ::SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    PropertyChanged(&FolderBrowserProperties::SelText);
}

std::wstring FolderBrowser::Text() const { return win::windowText(edit_); }

void FolderBrowser::Text(const std::wstring& value) {
    ::SetWindowTextW(edit_, value.c_str());  // EN_CHANGE raises Change
    PropertyChanged(&FolderBrowserProperties::Text);
}

FolderBrowserProperties FolderBrowser::properties() const {
    FolderBrowserProperties p;
    p.BackColor = backColor_;
    p.ForeColor = foreColor_;
    p.Enabled = Enabled();
    p.Font = fontDescOf(font_);
    p.Locked = Locked();
    p.SelLength = SelLength();
    p.SelStart = SelStart();
    p.SelText = SelText();
    p.Text = Text();
    return p;
}

void FolderBrowser::WriteProperties(PropertyBag& bag) const {
    writeFolderBrowserProperties(bag, properties(), fontDescOf(ambientFont_));
}

// In the order they are written; the last ones win where they overlap, as in any text box.
void FolderBrowser::ReadProperties(const PropertyBag& bag) {
    const FontDesc ambient = fontDescOf(ambientFont_);
    const FolderBrowserProperties p = readFolderBrowserProperties(bag, ambient);
    BackColor(p.BackColor);
    ForeColor(p.ForeColor);
    Enabled(p.Enabled);
    if (p.Font == ambient) {
        Font(ambientFont_);
    } else {
        ownFont_.reset(createFont(p.Font));
        Font(ownFont_.get());
    }
    Locked(p.Locked);
    SelLength(p.SelLength);
    SelStart(p.SelStart);
    SelText(p.SelText);
    Text(p.Text);
    changed_.clear();  // what was loaded is what is saved
}

FontDesc fontDescOf(HFONT font) {
    LOGFONTW lf{};
    if (!font || !::GetObjectW(font, sizeof lf, &lf)) return {};
    win::WindowDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    // Sizes are kept to a tenth of a point, as a font dialog shows them.
    const double points = std::round(std::abs(lf.lfHeight) * 720.0 / dpi) / 10;
    return {lf.lfFaceName, points, lf.lfWeight >= FW_BOLD, lf.lfItalic != 0};
}

HFONT createFont(const FontDesc& desc) {
    win::WindowDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    const int height = -static_cast<int>(std::lround(desc.points * dpi / 72));
    return ::CreateFontW(height, 0, 0, 0, desc.bold ? FW_BOLD : FW_NORMAL, desc.italic, FALSE,
                         FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, desc.face.c_str());
}

}  // namespace replybar::controls
