#include "launch/button_actions.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace replybar::launch {
namespace {

using testing::FakeMessages;
using testing::MemoryFiles;
using testing::RecordingShell;

struct FakeDesktop : IDesktop {
    bool toggleDesktop() override { return ++calls, works; }
    bool works = false;
    int calls = 0;
};

constexpr OsVersion kXp{5, 1}, kVista{6, 0}, kWin7{6, 1}, kWin8{6, 2}, kWin10{10, 0};

const std::string kCommandFileBytes =
    "[Shell]\r\nCommand = 2\r\nIconFile=explorer.exe,3\r\n[Taskbar]\r\n"
    "Command = ToggleDesktop\r\n\r\n";

class ShowDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.dataDir = L"C:\\data\\";
        state.quickLaunchDir = L"C:\\data\\QL\\";
    }
    void click() { showDesktop(state, {files, shell, desktop, messages}); }

    BarState state;
    MemoryFiles files;
    RecordingShell shell;
    FakeDesktop desktop;
    FakeMessages messages;
    const std::wstring userLink = L"C:\\data\\QL\\显示桌面.lnk";
    const std::wstring quickLaunchFile = L"C:\\data\\QL\\显示桌面.scf";
    const std::wstring dataFile = L"C:\\data\\显示桌面.scf";
};

// Windows 7 and later: the user's shortcut, the default user's, the shell's toggle, and only
// then a command file of our own, in the data folder.
TEST_F(ShowDesktopTest, NewerWindowsTriesTheThreeWaysInOrder) {
    const struct {
        OsVersion version;
        bool userLink, userLinkNormal, defaultLink, toggleWorks;
        std::wstring opened;  // "" = nothing opened
        int toggles;
    } cases[] = {
        {kWin7, true, true, true, true, userLink, 0},
        {kWin10, true, false, true, true, kDefaultUserShowDesktopLink, 0},  // a hidden one
        {kWin8, false, false, false, true, L"", 1},
        {kWin7, false, false, false, false, dataFile, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.userLink << c.defaultLink << c.toggleWorks);
        files = {}, shell = {}, desktop = {};
        state.osVersion = c.version;
        if (c.userLink) files.files[userLink] = {"lnk", c.userLinkNormal};
        if (c.defaultLink) files.files[kDefaultUserShowDesktopLink] = {"lnk"};
        desktop.works = c.toggleWorks;
        click();
        EXPECT_EQ(shell.opened, c.opened.empty() ? std::vector<std::wstring>{}
                                                 : std::vector<std::wstring>{c.opened});
        EXPECT_EQ(desktop.calls, c.toggles);
        EXPECT_FALSE(files.exists(quickLaunchFile));  // never into Quick Launch on these
    }
    EXPECT_EQ(files.files[dataFile].bytes, kCommandFileBytes);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ShowDesktopTest, NewerWindowsNeverOverwritesTheUsersCommandFile) {
    state.osVersion = kWin7;
    files.files[dataFile] = {"mine", false};
    click();
    EXPECT_EQ(files.files[dataFile].bytes, "mine");
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{dataFile});
}

// Up to Vista, and before the version is read: the command file in Quick Launch, written by the
// first click only.
TEST_F(ShowDesktopTest, OlderWindowsWritesTheCommandFileOnceThenOpensIt) {
    for (const OsVersion version : {kXp, kVista, OsVersion{}}) {
        files = {}, shell = {};
        state.osVersion = version;
        click();
        click();
        EXPECT_EQ(files.written, std::vector<std::wstring>{quickLaunchFile}) << version.major;
        EXPECT_EQ(files.files[quickLaunchFile].bytes, kCommandFileBytes);
        EXPECT_EQ(shell.opened, (std::vector<std::wstring>{quickLaunchFile, quickLaunchFile}));
    }
    EXPECT_EQ(desktop.calls, 0);
    // A hidden file of that name is no command file of the bar's: it is written over.
    files = {};
    files.files[quickLaunchFile] = {"old", false};
    click();
    EXPECT_EQ(files.files[quickLaunchFile].bytes, kCommandFileBytes);
}

TEST_F(ShowDesktopTest, AFileThatCannotBeWrittenIsReportedAndNotOpened) {
    files.refuseWrites = L"系统找不到指定的路径。";
    for (const OsVersion version : {kXp, kWin7}) {
        messages.shown.clear();
        state.osVersion = version;
        click();
        ASSERT_EQ(messages.shown.size(), 1u);
        const std::wstring& text = messages.shown[0].text;
        EXPECT_NE(text.find(version.major == 5 ? quickLaunchFile : dataFile), std::wstring::npos);
        EXPECT_NE(text.find(L"系统找不到指定的路径。"), std::wstring::npos);
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
    }
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_TRUE(files.files.empty());
}

// A folder where the command file belongs would open in a window: the click says the command
// file cannot be written instead. A file the user puts there while the bar writes its own is
// kept, and opened.
TEST_F(ShowDesktopTest, NeverOpensAFolderNorWritesOverAFileThatAppears) {
    const struct {
        OsVersion version;
        std::wstring path;
    } cases[] = {{kWin7, dataFile}, {kXp, quickLaunchFile}};
    for (const auto& c : cases) {
        files = {}, shell = {}, messages = {};
        state.osVersion = c.version;
        files.files[c.path] = {"", false, true};
        click();
        ASSERT_EQ(messages.shown.size(), 1u) << c.version.major;
        EXPECT_NE(messages.shown[0].text.find(L"无法写入显示桌面命令文件"), std::wstring::npos);
        EXPECT_NE(messages.shown[0].text.find(c.path), std::wstring::npos);
        EXPECT_TRUE(shell.opened.empty());

        files = {}, messages = {};
        files.appearWhileWriting[c.path] = {"the user's"};
        click();
        EXPECT_EQ(files.files[c.path].bytes, "the user's") << c.version.major;
        EXPECT_EQ(shell.opened, std::vector<std::wstring>{c.path});
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST_F(ShowDesktopTest, WithoutADataFolderNothingIsWrittenAnywhere) {
    state.dataDir = state.quickLaunchDir = L"";
    files.files[L"显示桌面.lnk"] = {"in the working folder"};
    for (const OsVersion version : {kXp, kWin7}) {
        state.osVersion = version;
        click();
    }
    EXPECT_TRUE(files.written.empty());
    EXPECT_TRUE(shell.opened.empty());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find(L"找不到应用程序数据文件夹"), std::wstring::npos);
}

TEST(HomePage, PortalPagesGiveWayToTheDefaultAtWeekends) {
    const std::wstring other = L"https://www.example.com/?from=elsewhere";
    const struct {
        std::wstring home;
        int weekday;
        std::wstring opened;
    } cases[] = {
        {kDefaultHomePage, 1, kDefaultHomePage},  // Sunday
        {kDefaultHomePage, 4, kDefaultHomePage},  // Wednesday
        {other, 7, kDefaultHomePage},             // Saturday
        {other, 1, kDefaultHomePage},
        {other, 2, other},
        {other, 6, other},                                                  // Friday
        {L"https://WWW.EXAMPLE.COM/?x", 7, L"https://WWW.EXAMPLE.COM/?x"},  // case counts
        {L"https://www.example.com/news", 7, L"https://www.example.com/news"},
        {L"about:blank", 1, L"about:blank"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(homePageToOpen(c.home, c.weekday), c.opened) << c.home << " " << c.weekday;
}

TEST(LauncherButton, MenuAtTheButtonsCorner) {
    const struct {
        PxPoint face, at;
    } cases[] = {
        {{159, 771}, {159 + 51, 771 + 4}},  // 770 twips = 51.33 px into the face: down to 51
        {{0, 0}, {51, 4}},
        {{-100, -40}, {-49, -36}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(launcherMenuPosition(c.face), c.at) << c.face.x << "," << c.face.y;
}

}  // namespace
}  // namespace replybar::launch
