#include "settings/settings_dialog.h"
#include "settings/settings_in_use.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "core/settings_texts.h"
#include "fakes.h"

namespace replybar::settings {
namespace {

using keys::Hotkey, keys::SendKey;
using namespace std::string_literals;
using testing::RecordingShell;

struct FakeView : ISettingsView {
    std::wstring folderText() override { return folder; }
    void setFolderText(const std::wstring& t) override { folder = t; }
    void focusFolder() override { focus = L"folder"; }
    std::wstring homeText() override { return home; }
    void setHomeText(const std::wstring& t) override { home = t; }
    void enableHome(bool on) override { homeEnabled = on; }
    void focusHome() override { focus = L"home"; }
    std::uint16_t hotkeyWord() override { return hotkey; }
    void setHotkeyWord(std::uint16_t word) override { hotkey = word; }
    void focusHotkey() override { focus = L"hotkey"; }
    SendKey sendKey() override { return send; }
    void setSendKey(SendKey key) override { send = key; }
    bool startWithWindows() override { return start; }
    void setStartWithWindows(bool on) override { start = on; }
    void setStartNote(const std::wstring& text) override { startNote = text; }
    std::wstring teamLibraryText() override { return team; }
    void setTeamLibraryText(const std::wstring& t) override { team = t; }
    void focusTeamLibrary() override { focus = L"team"; }
    void setTeamLibraryStatus(const std::wstring& t) override { teamStatus = t; }
    std::optional<std::wstring> chooseTeamLibraryFile(const std::wstring&) override { return {}; }
    std::wstring agentNameText() override { return agent; }
    void setAgentNameText(const std::wstring& t) override { agent = t; }
    void focusAgentName() override { focus = L"agent"; }
    void close() override { closed = true; }
    std::wstring folder, home, focus, startNote, team, teamStatus, agent;
    bool homeEnabled = true, closed = false;
    std::uint16_t hotkey = 0;
    SendKey send = SendKey::Enter;
    bool start = false;
};

// The bar as the dialog sees it: the settings in use are the real owner over fake stores, and
// what the bar hears of a change (the listener) is logged with the dialog's calls.
struct FakeHost : ISettingsHost, ISettingsListener {
    explicit FakeHost(SettingsInUse& inUse) : inUse(inUse) { inUse.listen(*this); }
    const Settings& settingsInUse() override { return inUse.current(); }
    std::wstring launchFolderInUse() override { return inUse.launchFolder(); }
    bool hotkeyAvailable(const Hotkey& h) override {
        log.push_back(L"hotkey " + keys::hotkeyText(h));
        return !takenByOthers;
    }
    void takeSettings(const Settings& chosen) override { inUse.take(chosen); }
    void resetButtonPictures() override { log.push_back(L"pictures"); }
    std::wstring teamLibraryStatus() override { return teamStatus; }
    // Z: is mapped to \\fs01\客服.
    std::optional<std::wstring> shareFormOf(const std::wstring& path) override {
        if (path.rfind(L"Z:\\", 0) != 0) return std::nullopt;
        return L"\\\\fs01\\客服" + path.substr(2);
    }
    std::optional<std::wstring> driveFormOf(const std::wstring& share) override {
        if (share.rfind(L"\\\\fs01\\客服\\", 0) != 0) return std::nullopt;
        return L"Z:" + share.substr(9);
    }
    void settingsChanged(const Settings& now, unsigned changed) override {
        if (changed & kLaunchFolderChanged) log.push_back(L"folder " + *now.launchFolder);
        if (changed & kHomePageChanged) log.push_back(L"home " + now.homePage);
        if (changed & kHotkeyChanged) log.push_back(L"now " + keys::hotkeyText(now.hotkey));
        if (changed & kSendKeyChanged)
            log.push_back(now.sendKey == SendKey::Enter ? L"send Enter" : L"send Ctrl+Enter");
        if (changed & kTeamLibraryChanged) team = now.teamLibrary;
        if (changed & kAgentNameChanged) log.push_back(L"agent " + now.agentName);
    }
    SettingsInUse& inUse;
    std::vector<std::wstring> log;
    std::optional<std::wstring> team;  // what the bar was told to read
    std::wstring teamStatus;
    bool takenByOthers = false;
};

constexpr wchar_t kExe[] = L"D:\\工具\\ReplyBar.exe";

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        string.text = L"0,0,D:\\tools\\,about:blank";
        state.quickLaunchDir = L"C:\\ql\\";
        inUse.load();
        dialog.open();
    }
    // The registry as it stands, read afresh: what the bar goes by from now on.
    void reload() {
        inUse.load();
        dialog.open();
    }
    BarState state;
    RecordingShell shell;
    testing::FakeMessages messages;
    testing::FakeSettingsString string;
    testing::FakeSettingNumbers numbers;
    testing::FakeSettingTexts texts;
    testing::FakeRunAtLogon run;
    SettingsInUse inUse{{string, numbers, texts, messages}};
    FakeView view;
    FakeHost host{inUse};
    SettingsDialog dialog{state, {shell, messages, run, kExe}, view, host};
};

TEST_F(SettingsDialogTest, OpensOnTheBarsValuesWithTheHomePageLocked) {
    EXPECT_EQ(view.folder, L"D:\\tools\\");
    EXPECT_EQ(view.home, L"about:blank");
    EXPECT_FALSE(view.homeEnabled);
    EXPECT_EQ(view.hotkey, keys::kDefaultHotkey.word());  // nothing stored: the defaults
    EXPECT_EQ(view.send, SendKey::CtrlEnter);
    EXPECT_FALSE(view.start);
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
        view.send = SendKey::CtrlEnter;
        dialog.confirmClicked();
        EXPECT_EQ(inUse.launchFolder(), c.launchFolder);
        EXPECT_EQ(inUse.current().homePage, c.homePage) << c.home;
        EXPECT_EQ(view.home, c.homePage);
        // What was confirmed is stored at once, and comes back from the settings string.
        Settings read;
        parseSettingsString(string.text, read);
        EXPECT_EQ(read.launchFolder, c.launchFolder);
        EXPECT_EQ(read.homePage, c.homePage);
        EXPECT_TRUE(view.closed);
        EXPECT_EQ(dialog.outcome(), SettingsOutcome::Confirmed);
        ASSERT_FALSE(host.log.empty());
        EXPECT_EQ(host.log.front(), L"pictures");
        dialog.open();
    }
}

// The hotkey field is tried at the confirmation: a combination that cannot be a hotkey, or that
// another program owns, keeps the dialog open on the field with nothing taken over; an unchanged
// one is not registered again. Both key settings are written, a damaged stored value put right.
TEST_F(SettingsDialogTest, ConfirmTriesTheHotkeyFirstAndKeepsTheOldOneWhenRefused) {
    constexpr std::uint16_t ctrlAltR = 0x0652, ctrlShiftK = 0x034B, ctrlAltF12 = 0x067B;
    const struct {
        std::optional<std::uint32_t> stored;
        std::uint16_t field;
        bool takenByOthers;
        std::vector<std::wstring> hostLog;
        const wchar_t* told;  // in the one message when refused, the dialog still open
    } cases[] = {
        {std::nullopt, ctrlAltR, false, {L"pictures", L"folder E:\\new\\", L"send Enter"}, nullptr},
        {0xBAD0BAD, ctrlAltR, true, {L"pictures", L"folder E:\\new\\", L"send Enter"}, nullptr},
        {std::nullopt,
         ctrlShiftK,
         false,
         {L"hotkey Ctrl+Shift+K", L"pictures", L"folder E:\\new\\", L"now Ctrl+Shift+K",
          L"send Enter"},
         nullptr},
        {std::nullopt,
         ctrlShiftK,
         true,
         {L"hotkey Ctrl+Shift+K"},
         L"Ctrl+Shift+K 已经被另一个程序占用"},
        {ctrlShiftK, ctrlAltR, true, {L"hotkey Ctrl+Alt+R"}, L"原来的快捷键 Ctrl+Shift+K"},
        {std::nullopt, ctrlAltF12, false, {}, L"不能用"},
        {std::nullopt, 0, false, {}, L"不能用"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        numbers.values.clear();
        if (c.stored) numbers.values[kHotkeyValue] = *c.stored;
        numbers.values[kSendKeyValue] = 0;
        messages.shown.clear();
        host.log.clear();
        host.takenByOthers = c.takenByOthers;
        view.closed = false, view.focus.clear();
        string.text = L"0,0,D:\\tools\\,about:blank";
        reload();
        view.folder = L"E:\\new\\";
        view.hotkey = c.field;
        view.send = SendKey::Enter;
        dialog.confirmClicked();
        EXPECT_EQ(host.log, c.hostLog);
        EXPECT_EQ(view.closed, !c.told);
        if (c.told) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_NE(messages.shown[0].text.find(c.told), std::wstring::npos);
            EXPECT_EQ(view.focus, L"hotkey");
            EXPECT_EQ(inUse.launchFolder(), L"D:\\tools\\");
            EXPECT_EQ(numbers.readNumber(kHotkeyValue), c.stored);
            EXPECT_EQ(numbers.readNumber(kSendKeyValue), 0u);
        } else {
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_EQ(inUse.launchFolder(), L"E:\\new\\");
            EXPECT_EQ(numbers.readNumber(kHotkeyValue), c.field);
            EXPECT_EQ(numbers.readNumber(kSendKeyValue), 1u);
        }
    }
}

// The start box shows whether Windows starts this copy at logon; only a change of the box
// writes or removes the entry, so one shown unticked (another copy's, another program's, one Task
// Manager holds back) stays while the box stays unticked, and ticking points it at this copy.
// Task Manager's switch is never written. A refused write is said, and the rest is taken over
// all the same.
TEST_F(SettingsDialogTest, TheStartBoxWritesOrRemovesTheLogonEntryWhenChanged) {
    const std::wstring ours = L"\"D:\\工具\\ReplyBar.exe\"";
    const std::wstring moved = L"\"C:\\旧\\ReplyBar.exe\" /min", other = L"C:\\x\\Other.exe";
    const std::string off = "\x03\0\0\0\0\0\0\0\0\0\0\0"s;
    const struct {
        std::optional<std::wstring> before;
        std::optional<std::string> approval;
        bool shown, ticked;
        std::optional<std::wstring> after;
    } cases[] = {
        {std::nullopt, std::nullopt, false, false, std::nullopt},
        {std::nullopt, std::nullopt, false, true, ours},
        {ours, std::nullopt, true, true, ours},
        {ours, std::nullopt, true, false, std::nullopt},
        {ours, off, false, false, ours},
        {ours, off, false, true, ours},
        {moved, std::nullopt, false, false, moved},
        {moved, std::nullopt, false, true, ours},
        {other, std::nullopt, false, false, other},
        {other, off, false, true, ours},
    };
    for (const auto& c : cases) {
        for (const bool refused : {false, true}) {
            run.command = c.before;
            run.approval = c.approval;
            run.refuse = refused ? L"拒绝访问。" : L"";
            messages.shown.clear();
            dialog.open();
            EXPECT_EQ(view.start, c.shown);
            EXPECT_EQ(view.startNote.empty(), c.shown || !c.before);
            view.start = c.ticked;
            dialog.confirmClicked();
            EXPECT_EQ(run.command, refused ? c.before : c.after);
            EXPECT_EQ(run.approval, c.approval);
            EXPECT_EQ(messages.shown.size(), refused && c.ticked != c.shown ? 1u : 0u);
            EXPECT_EQ(dialog.outcome(), SettingsOutcome::Confirmed);
        }
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
        view.hotkey = 0x034B, view.send = SendKey::Enter, view.start = true;
        view.team = L"\\\\fs01\\team.csv";
        (dialog.*c.close)();
        EXPECT_TRUE(view.closed);
        EXPECT_EQ(dialog.outcome(), c.outcome);
        EXPECT_EQ(inUse.launchFolder(), L"D:\\tools\\");
        EXPECT_EQ(inUse.current().homePage, L"about:blank");
    }
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(numbers.values.empty());
    EXPECT_TRUE(texts.values.empty());
    EXPECT_EQ(host.team, std::nullopt);
    EXPECT_EQ(run.command, std::nullopt);
}

// While the dialog is open its status line follows the bar's: a new version, then an outage.
TEST_F(SettingsDialogTest, TheTeamLibraryStatusFollowsTheBarWhileOpen) {
    host.teamStatus = L"正在读取…";
    reload();
    EXPECT_EQ(view.teamStatus, L"正在读取…");
    for (const wchar_t* said : {L"团队回复 128 条 · 今天 12:05 更新",
                                L"离线（找不到文件）· 使用 今天 的副本"}) {
        host.teamStatus = said;
        dialog.teamLibraryStatusDue();
        EXPECT_EQ(view.teamStatus, said);
    }
}

// A path on a mapped drive is stored as the share's own; the field shows both, and confirmed
// as shown stores the same again.
TEST_F(SettingsDialogTest, AMappedDrivePathIsStoredAsTheSharesOwn) {
    const std::wstring both = L"Z:\\团队\\回复.csv（即 \\\\fs01\\客服\\团队\\回复.csv）";
    for (const std::wstring& typed : {std::wstring(L"Z:\\团队\\回复.csv"), both}) {
        reload();
        view.team = typed;
        view.hotkey = 0x034B;
        dialog.confirmClicked();
        EXPECT_EQ(host.team, L"\\\\fs01\\客服\\团队\\回复.csv");
        reload();
        EXPECT_EQ(view.team, both);
    }
}

// The field opens on what is stored, the status line on what the bar says. A usable location is
// stored, less the quotes around it, and handed to the bar; one that is not is one message
// saying why, and the dialog stays open on the field with the text as typed and nothing taken
// over, not even a changed hotkey. A write the system refuses is said, and the bar goes by the
// location for this run all the same.
TEST_F(SettingsDialogTest, TheTeamLibraryIsCheckedThenStored) {
    const struct {
        std::wstring typed;
        const wchar_t* stored;  // nullptr: refused
        const wchar_t* told;
    } cases[] = {
        {L"\"\\\\fs01\\客服\\团队回复.csv\" ", L"\\\\fs01\\客服\\团队回复.csv", nullptr},
        {L"  ", L"", nullptr},
        {L"团队回复.csv", nullptr, L"“团队回复.csv”不是完整的位置"},
        {L"ftp://fs01/t.csv", nullptr, L"也不是以 http:// 或 https:// 开头的网址"},
    };
    for (const auto& c : cases) {
        texts.values = {{kTeamLibraryValue, L"D:\\旧\\team.csv"}};
        numbers.values.clear(), host.log.clear(), messages.shown.clear();
        host.team.reset(), host.teamStatus = L"团队回复 128 条";
        view.closed = false;
        reload();
        EXPECT_EQ(view.team, L"D:\\旧\\team.csv");
        EXPECT_EQ(view.teamStatus, L"团队回复 128 条");
        view.team = c.typed;
        view.hotkey = 0x034B;  // Ctrl+Shift+K
        dialog.confirmClicked();
        EXPECT_EQ(view.closed, c.stored != nullptr);
        if (c.stored) {
            EXPECT_EQ(texts.values[kTeamLibraryValue], c.stored);
            EXPECT_EQ(host.team, c.stored);
            continue;
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(c.told), std::wstring::npos);
        EXPECT_EQ(view.focus, L"team");
        EXPECT_EQ(view.team, c.typed);
        EXPECT_EQ(texts.values[kTeamLibraryValue], L"D:\\旧\\team.csv");
        EXPECT_TRUE(host.log.empty() && numbers.values.empty() && !host.team);
    }
    // A location the registry refuses is not taken: the bar goes by what the next start finds.
    texts.refuse = L"拒绝访问。";
    view.team = L"D:\\同步\\团队回复.csv";
    dialog.confirmClicked();
    EXPECT_EQ(messages.shown.back().text, texts::kTeamLibraryNotSaved + L"拒绝访问。"s);
    EXPECT_EQ(inUse.current().teamLibrary, L"D:\\旧\\team.csv");
    EXPECT_EQ(host.team, std::nullopt);
}

// The registry refuses a write: the values in use stay as they were and the user is told; the
// dialog opened again shows the values in use, and "确定 返回" then puts nothing back.
TEST_F(SettingsDialogTest, ARefusedWriteKeepsTheValuesInUseAndSaysSo) {
    string.refuse = numbers.refuse = L"拒绝访问。";
    view.folder = L"E:\\新\\";
    view.send = SendKey::Enter;
    dialog.confirmClicked();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, texts::kFolderAndHomeNotSaved + L"拒绝访问。"s);
    EXPECT_EQ(messages.shown[1].text, texts::kKeySettingsNotSaved + L"拒绝访问。"s);
    EXPECT_EQ(inUse.launchFolder(), L"D:\\tools\\");
    EXPECT_EQ(inUse.current().sendKey, SendKey::CtrlEnter);
    EXPECT_EQ(host.log, std::vector<std::wstring>{L"pictures"});  // nobody told of a change
    string.refuse = numbers.refuse = L"";
    dialog.open();
    EXPECT_EQ(view.folder, L"D:\\tools\\");
    EXPECT_EQ(view.send, SendKey::CtrlEnter);
    dialog.confirmClicked();
    EXPECT_EQ(inUse.current().sendKey, SendKey::CtrlEnter);
    EXPECT_EQ(host.log, (std::vector<std::wstring>{L"pictures", L"pictures"}));
}

// "我的称呼": one line without the spaces around it, at most 30 characters, told to the bar only
// when it changed; a refused write keeps the name in use.
TEST_F(SettingsDialogTest, TheAgentsNameIsCleanedStoredAndKeptWhenRefused) {
    const std::wstring thirty(30, L'名');
    const std::pair<std::wstring, std::wstring> typedKept[] = {
        {L" 小王\r\n\u3000", L"小王"}, {thirty + L"多", thirty}, {L"   ", L""}};
    for (const auto& [typed, kept] : typedKept) {
        texts.values = {{kAgentNameValue, L"旧名"}};
        reload();
        host.log.clear();
        EXPECT_EQ(view.agent, L"旧名");
        view.agent = typed;
        dialog.confirmClicked();
        EXPECT_EQ(texts.values[kAgentNameValue], kept) << typed;
        EXPECT_EQ(host.log, (std::vector<std::wstring>{L"pictures", L"agent " + kept}));
    }
    texts.refuse = L"拒绝访问。";
    view.agent = L"小李";
    dialog.confirmClicked();
    EXPECT_EQ(messages.shown.back().text, texts::kAgentNameNotSaved + L"拒绝访问。"s);
    EXPECT_EQ(inUse.current().agentName, L"");
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
}  // namespace replybar::settings
