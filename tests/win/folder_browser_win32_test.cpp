// The folder picker as a real child control: its layout in pixels, the Change event, the
// properties living in the text box, and a round trip through a property bag.
#include "controls/folder_browser_win32.h"

#include <gtest/gtest.h>

namespace replybar::controls {
namespace {

class FolderBrowserWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
        font_ =
            ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"宋体");
    }
    void TearDown() override {
        ::DestroyWindow(host_);
        ::DeleteObject(font_);
    }
    // A control 2535 × 345 twips: 169 × 23 pixels.
    std::unique_ptr<FolderBrowser> make() {
        auto c = std::make_unique<FolderBrowser>(host_, 7, RECT{10, 10, 179, 33}, font_);
        c->Change = [this] { ++changes_; };
        return c;
    }
    RECT childRect(HWND child) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    HWND host_ = nullptr;
    HFONT font_ = nullptr;
    int changes_ = 0;
};

TEST_F(FolderBrowserWin32Test, ButtonAt1935TwipsAndTextBox1890Wide) {
    auto c = make();
    const RECT b = childRect(c->browseButton()), t = childRect(c->textBox());
    EXPECT_EQ(b.left, 129);  // 1935 / 15
    EXPECT_EQ(b.right - b.left, 40);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(t.left, 1);
    EXPECT_EQ(t.top, 1);
    EXPECT_EQ(t.right - t.left, 126);  // 1890 / 15
    EXPECT_EQ(::GetDlgCtrlID(c->hwnd()), 7);
    ::MoveWindow(c->hwnd(), 0, 0, 200, 30, FALSE);  // the layout follows every resize
    EXPECT_EQ(childRect(c->browseButton()).left, 160);
}

TEST_F(FolderBrowserWin32Test, ChangeOnTypingAndOnTheTextSetter) {
    auto c = make();
    c->Text(L"C:\\工具\\");
    EXPECT_EQ(changes_, 1);
    EXPECT_EQ(c->Text(), L"C:\\工具\\");
    ::SendMessageW(c->textBox(), EM_SETSEL, 100, 100);  // the caret to the end, as a user would
    ::SendMessageW(c->textBox(), WM_CHAR, L'x', 0);
    EXPECT_EQ(changes_, 2);
    EXPECT_EQ(c->Text(), L"C:\\工具\\x");
}

TEST_F(FolderBrowserWin32Test, PropertiesLiveInTheTextBoxAndSurviveABag) {
    auto c = make();
    c->Text(L"D:\\apps\\");
    c->SelStart(3);
    c->SelLength(4);
    EXPECT_EQ(c->SelText(), L"apps");
    c->SelText(L"tools");
    EXPECT_EQ(c->Text(), L"D:\\tools\\");
    c->Locked(true);
    EXPECT_TRUE(::GetWindowLongPtrW(c->textBox(), GWL_STYLE) & ES_READONLY);
    c->Enabled(false);
    EXPECT_FALSE(::IsWindowEnabled(c->textBox()));
    c->BackColor(0x0000FFFF);
    HDC dc = ::GetDC(c->textBox());
    const auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(c->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(c->textBox())));
    EXPECT_EQ(::GetBkColor(dc), RGB(255, 255, 0));
    ::ReleaseDC(c->textBox(), dc);
    LOGBRUSH lb{};
    ASSERT_TRUE(::GetObjectW(brush, sizeof lb, &lb));
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 0));

    PropertyBag bag;
    c->WriteProperties(bag);
    auto other = make();
    other->ReadProperties(*PropertyBag::parse(bag.save()));
    EXPECT_EQ(other->Text(), L"D:\\tools\\");
    EXPECT_TRUE(other->Locked());
    EXPECT_FALSE(other->Enabled());
    EXPECT_EQ(other->BackColor(), 0x0000FFFFu);
    EXPECT_EQ(other->ForeColor(), 0x80000008u);
    EXPECT_EQ(other->Font(), font_);  // the ambient font stays shared
    EXPECT_TRUE(other->changedProperties().empty());
}

// Each setter marks its own property, by name, for the host to save.
TEST_F(FolderBrowserWin32Test, EachSetterMarksItsPropertyChanged) {
    const std::pair<const wchar_t*, void (*)(FolderBrowser&)> setters[] = {
        {L"BackColor", [](FolderBrowser& c) { c.BackColor(0x00FF0000); }},
        {L"ForeColor", [](FolderBrowser& c) { c.ForeColor(0); }},
        {L"Enabled", [](FolderBrowser& c) { c.Enabled(false); }},
        {L"Font", [](FolderBrowser& c) { c.Font(nullptr); }},
        {L"Locked", [](FolderBrowser& c) { c.Locked(true); }},
        {L"SelLength", [](FolderBrowser& c) { c.SelLength(1); }},
        {L"SelStart", [](FolderBrowser& c) { c.SelStart(1); }},
        {L"SelText", [](FolderBrowser& c) { c.SelText(L"x"); }},
        {L"Text", [](FolderBrowser& c) { c.Text(L"C:\\"); }},
    };
    for (const auto& [name, set] : setters) {
        auto c = make();
        set(*c);
        EXPECT_EQ(c->changedProperties(), std::set<std::wstring>{name});
    }
}

// The folder dialog of this thread, once it is on screen.
HWND shownFolderDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND w, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(w, name, 16);
            if (std::wstring(name) != L"#32770" || !::IsWindowVisible(w)) return TRUE;
            *reinterpret_cast<HWND*>(out) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// "设置" pressed with `text` in the box and the dialog confirmed as it opens: the box then
// holds the folder the dialog showed selected.
std::wstring confirmedAsOpened(FolderBrowser& c, const std::wstring& text) {
    c.Text(text);
    // A thread timer runs inside the dialog's own message loop.
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND dialog = shownFolderDialog()) ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ::SendMessageW(c.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(c.browseButton()), BN_CLICKED),
                   reinterpret_cast<LPARAM>(c.browseButton()));
    ::KillTimer(nullptr, timer);
    return c.Text();
}

TEST_F(FolderBrowserWin32Test, TheDialogOpensAtTheFolderInTheBoxWhenItIsThere) {
    // A folder nothing writes to while the test runs: Wine's dialog sometimes fails to select
    // one just created or changed.
    wchar_t windows[MAX_PATH] = {};
    ASSERT_NE(::GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const std::wstring folder = std::wstring(windows) + L"\\system32";
    auto c = make();
    const std::wstring systemStart = confirmedAsOpened(*c, L"");
    EXPECT_NE(systemStart, L"");
    EXPECT_NE(systemStart, folder + L"\\");
    const struct {
        std::wstring text, opensAt;
    } cases[] = {
        {folder + L"\\", folder + L"\\"},
        {folder, folder + L"\\"},
        {folder + L"\\不存在\\", systemStart},  // a folder that is not there: as usual
    };
    for (const auto& k : cases) EXPECT_EQ(confirmedAsOpened(*c, k.text), k.opensAt) << k.text;
}

}  // namespace
}  // namespace replybar::controls
