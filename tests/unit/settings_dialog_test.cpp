#include "launch/settings_dialog.h"

#include <gtest/gtest.h>

#include "bar/startup.h"
#include "fakes.h"

namespace replybar::launch {
namespace {

using testing::RecordingShell;

struct FakeView : ISettingsView {
    std::wstring folderText() override { return folder; }
    void setFolderText(const std::wstring& t) override { folder = t; }
    void focusFolder() override { focus = L"folder"; }
    std::wstring homeText() override { return home; }
    void setHomeText(const std::wstring& t) override { home = t; }
    void enableHome(bool on) override { homeEnabled = on; }
    void focusHome() override { focus = L"home"; }
    void close() override { closed = true; }
    std::wstring folder, home, focus;
    bool homeEnabled = true, closed = false;
};

struct FakeHost : ISettingsHost {
    void resetButtonPictures() override { log.push_back(L"pictures"); }
    void rebuildLauncherMenu() override { log.push_back(L"rebuild"); }
    void saveSettings() override { log.push_back(L"save"); }
    std::vector<std::wstring> log;
};

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.launchFolder = L"D:\\tools\\";
        state.homePage = L"about:blank";
        state.quickLaunchDir = L"C:\\ql\\";
        dialog.open();
    }
    BarState state;
    RecordingShell shell;
    FakeView view;
    FakeHost host;
    SettingsDialog dialog{state, shell, view, host};
};

TEST_F(SettingsDialogTest, OpensOnTheBarsValuesWithTheHomePageLocked) {
    EXPECT_EQ(view.folder, L"D:\\tools\\");
    EXPECT_EQ(view.home, L"about:blank");
    EXPECT_FALSE(view.homeEnabled);
}

// Confirming takes the folder as typed and a home page that the settings string can hold, then
// closes, resets the buttons, rebuilds the menu and saves at once.
TEST_F(SettingsDialogTest, ConfirmTakesOverWhatTheSettingsStringCanHold) {
    const struct {
        std::wstring folder, home, launchFolder, homePage;
    } cases[] = {
        {L"E:\\apps\\", L"https://news.example.org/", L"E:\\apps\\", L"https://news.example.org/"},
        {L"E:\\apps", L"", L"E:\\apps", L"about:blank"},          // no backslash is added
        {L"E:\\a,b\\", L"http://x/?a,b", L"E:\\a,b\\", L"http://x/?a%2Cb"},  // the comma
        {L"", L",,", L"", L"%2C%2C"},
        {L"\"C:\\launch\"", L"   ", L"C:\\launch", L"about:blank"},  // "copy as path"; spaces
        {L" \"D:\\快速 启动\\\" ", L"\t\u3000 ", L"D:\\快速 启动\\", L"about:blank"},
        {L"E:\\apps\\", L" http://x/ ", L"E:\\apps\\", L" http://x/ "},  // only all-space counts
    };
    for (const auto& c : cases) {
        host.log.clear();
        view.folder = c.folder, view.home = c.home, view.closed = false;
        dialog.confirmClicked();
        EXPECT_EQ(state.launchFolder, c.launchFolder);
        EXPECT_EQ(state.homePage, c.homePage) << c.home;
        EXPECT_EQ(view.home, c.homePage);
        // What was confirmed comes back from the settings string as it was.
        const SettingsFields f = parseSettingsString(
            formatSettingsString(1, 2, state.launchFolder, state.homePage));
        EXPECT_EQ(f.launchFolder, c.launchFolder);
        EXPECT_EQ(f.homePage, c.homePage);
        EXPECT_TRUE(view.closed);
        EXPECT_EQ(dialog.outcome(), SettingsOutcome::Confirmed);
        EXPECT_EQ(host.log, (std::vector<std::wstring>{L"pictures", L"rebuild", L"save"}));
    }
}

TEST_F(SettingsDialogTest, EveryOtherWayOutLeavesTheBarAsItWas) {
    const struct {
        void (SettingsDialog::*close)();
        SettingsOutcome outcome;
    } cases[] = {
        {&SettingsDialog::cancelled, SettingsOutcome::Discarded},
        {&SettingsDialog::exitClicked, SettingsOutcome::ExitProgram},
        {&SettingsDialog::addRepliesClicked, SettingsOutcome::OpenReplyEditor},
    };
    for (const auto& c : cases) {
        view.closed = false;
        dialog.defaultFolderClicked();
        dialog.setHomeClicked();
        view.home = L"https://changed.example/";
        (dialog.*c.close)();
        EXPECT_TRUE(view.closed);
        EXPECT_EQ(dialog.outcome(), c.outcome);
        EXPECT_EQ(state.launchFolder, L"D:\\tools\\");
        EXPECT_EQ(state.homePage, L"about:blank");
    }
    EXPECT_TRUE(host.log.empty());
}

TEST_F(SettingsDialogTest, ButtonsAndLinks) {
    dialog.defaultFolderClicked();
    EXPECT_EQ(view.folder, L"C:\\ql\\");
    EXPECT_EQ(view.focus, L"folder");
    dialog.defaultHomeClicked();  // also while the home page field is still disabled
    EXPECT_EQ(view.home, kDefaultHomePage);
    EXPECT_FALSE(view.homeEnabled);
    dialog.setHomeClicked();
    EXPECT_TRUE(view.homeEnabled);
    EXPECT_EQ(view.focus, L"home");
    view.folder = L"E:\\nowhere\\";
    dialog.openFolderClicked();
    EXPECT_EQ(view.focus, L"folder");
    dialog.linkClicked(Link::WebSite);
    dialog.linkClicked(Link::Mail);
    dialog.linkClicked(Link::Download);
    EXPECT_EQ(shell.opened,
              (std::vector<std::wstring>{L"E:\\nowhere\\", L"https://www.example.com/replybar/",
                                         L"mailto:replybar@example.com",
                                         L"https://www.example.com/replybar/download/"}));
    EXPECT_FALSE(view.closed);
    EXPECT_TRUE(host.log.empty());
}

}  // namespace
}  // namespace replybar::launch
