#include "core/settings.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace replybar {
namespace {

using keys::SendKey;

using TextStore = testing::FakeSettingsString;

// Left and Top first, the home page last, the folder everything between; what the bar writes
// reads back the same. A string of fewer than four fields is no setting at all, and positions
// that are not both plain numbers give the first-start placement but keep the rest.
TEST(Settings, TheSettingsStringReadAndWritten) {
    using P = StoredPosition;
    const struct {
        std::wstring text;
        std::optional<P> position;
        std::optional<std::wstring> folder;
        std::wstring home;
        bool writtenAsRead;
    } cases[] = {
        {L"2385,-440,C:\\快速启动\\,about:blank", P{2385, -440}, L"C:\\快速启动\\", L"about:blank",
         true},
        {L"0,0,C:\\a,b\\c,,d\\,about:blank", P{0, 0}, L"C:\\a,b\\c,,d\\", L"about:blank", true},
        {L"15,30,,http://x/?a%2Cb", P{15, 30}, L"", L"http://x/?a%2Cb", true},
        {L"", std::nullopt, std::nullopt, kDefaultHomePage, false},
        {L"100", std::nullopt, std::nullopt, kDefaultHomePage, false},
        {L"100,200", std::nullopt, std::nullopt, kDefaultHomePage, false},
        {L"100,200,C:\\", std::nullopt, std::nullopt, kDefaultHomePage, false},
        {L"abc,200,C:\\q\\,http://x/", std::nullopt, L"C:\\q\\", L"http://x/", false},
        {L" 12.5,-3,C:\\,h", P{12.5, -3}, L"C:\\", L"h", false},
        {L"1e5,2,C:\\,h", std::nullopt, L"C:\\", L"h", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.size());
        TextStore store;
        store.text = c.text;
        Settings s;
        s.sendKey = SendKey::Enter;  // not the string's: kept
        readSettingsString(store, s);
        EXPECT_EQ(s.position, c.position);
        EXPECT_EQ(s.launchFolder, c.folder);
        EXPECT_EQ(s.homePage, c.home);
        EXPECT_EQ(s.sendKey, SendKey::Enter);
        if (c.writtenAsRead) {
            EXPECT_EQ(formatSettingsString(s), c.text);
        }
    }
    EXPECT_EQ(storableHomePage(L"http://x/?a,b%2Cc"), L"http://x/?a%2Cb%2Cc");
}

// A write the system refuses (a policy, a damaged hive) is said once, naming what was not saved
// and the system's reason; one that succeeds says nothing.
TEST(Settings, ARefusedSettingsStringIsOneMessageWithTheReason) {
    TextStore store;
    testing::FakeMessages messages;
    Settings s;
    s.position = StoredPosition{1, 2};
    s.launchFolder = L"C:\\";
    s.homePage = L"about:blank";
    saveSettingsString(store, messages, s);
    EXPECT_EQ(store.text, L"1,2,C:\\,about:blank");
    EXPECT_TRUE(messages.shown.empty());
    store.refuse = L"拒绝访问。";
    saveSettingsString(store, messages, s);
    ASSERT_EQ(messages.shown.size(), 1u);
    for (const wchar_t* part : {L"位置", L"快速启动文件夹", L"主页", L"拒绝访问。"})
        EXPECT_NE(messages.shown[0].text.find(part), std::wstring::npos) << part;
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
}

// "Hotkey" holds the hotkey control's word and "SendKey" 0 or 1; a number that cannot be a
// hotkey, or a send key other than 1, reads as the default; what is read is written back so.
TEST(Settings, TheNumbersReadAndWritten) {
    constexpr std::uint32_t ctrlShiftK = (keys::kHotkeyControl | keys::kHotkeyShift) << 8 | 'K';
    const struct {
        std::optional<std::uint32_t> hotkey, sendKey;
        std::uint32_t hotkeyWritten, sendKeyWritten;
    } cases[] = {
        {std::nullopt, std::nullopt, keys::kDefaultHotkey.word(), 0},
        {ctrlShiftK, 1, ctrlShiftK, 1},
        {'R', 2, keys::kDefaultHotkey.word(), 0},  // no modifier
        {0x10000 | ctrlShiftK, 0xFFFFFFFF, keys::kDefaultHotkey.word(), 0},
    };
    for (const auto& c : cases) {
        testing::FakeSettingNumbers numbers;
        if (c.hotkey) numbers.values[kHotkeyValue] = *c.hotkey;
        if (c.sendKey) numbers.values[kSendKeyValue] = *c.sendKey;
        Settings s;
        readKeySettings(numbers, s);
        std::wstring reason;
        ASSERT_TRUE(writeKeySettings(numbers, s, reason));
        EXPECT_EQ(numbers.values,
                  (std::map<std::wstring, std::uint32_t>{{L"Hotkey", c.hotkeyWritten},
                                                         {L"SendKey", c.sendKeyWritten}}));
    }
}

// The start box as the logon entry and Task Manager's switch stand; ticking points the entry at
// this copy, its arguments dropped, unticking removes it; Task Manager's switch is only read.
TEST(Settings, StartWithWindowsReadAndWritten) {
    const std::wstring exe = L"D:\\工具\\ReplyBar.exe", ours = L"\"D:\\工具\\ReplyBar.exe\"";
    const std::string disabled("\x03\0", 2);
    testing::FakeRunAtLogon run;
    run.command = ours + L" /min";
    run.approval = disabled;
    Settings s;
    readStartWithWindows(run, exe, s);
    EXPECT_EQ(s.startWithWindows, (StartBox{false, L"（已在任务管理器中禁用）"}));
    std::wstring reason;
    ASSERT_TRUE(writeStartWithWindows(run, exe, true, reason));
    EXPECT_EQ(run.command, ours);
    ASSERT_TRUE(writeStartWithWindows(run, exe, false, reason));
    EXPECT_EQ(run.command, std::nullopt);
    EXPECT_EQ(run.approval, disabled);
}

// A location typed, pasted or stored: the spaces and Explorer's quotes around it dropped, then a
// full path, a share or an http(s) address taken; one that depends on the current folder, names
// no file or is no location at all is refused, and read from the registry as none. What is
// written reads back the same, none as an empty value.
TEST(Settings, TheTeamLibraryLocationJudgedReadAndWritten) {
    using K = TeamLocation;
    const struct {
        std::wstring typed;
        K kind;
        std::wstring location;  // "" for the typed text itself
    } cases[] = {
        {L"  \"\" ", K::None, L""},
        {L"\"\\\\fs01\\客服\\团队回复.csv\"", K::Path, L"\\\\fs01\\客服\\团队回复.csv"},
        {L" D:\\同步\\团队 回复.csv\u3000", K::Path, L"D:\\同步\\团队 回复.csv"},
        {L"HTTPS://intranet.example.com/team.csv?v=1", K::Address, L""},
        {L"C:team.csv", K::Relative, L""},
        {L"\\\\fs01\\客服", K::Folder, L""},
        {L"D:\\a\\b.csv:stream", K::BadCharacter, L""},
        {L"\\\\\\share\\a.csv", K::NoServer, L""},
        {L"file:///D:/team.csv", K::Unusable, L""},
    };
    testing::FakeSettingTexts texts;
    Settings s;
    std::wstring reason;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.typed));
        const std::wstring location =
            c.location.empty() && c.kind != K::None ? c.typed : c.location;
        const TeamLibraryCheck check = checkTeamLibrary(c.typed);
        EXPECT_EQ(check.kind, c.kind);
        EXPECT_EQ(check.location, location);
        texts.values[kTeamLibraryValue] = c.typed;
        s.teamLibrary = L"D:\\before.csv";
        readTeamLibrary(texts, s);
        EXPECT_EQ(s.teamLibrary, usable(c.kind) ? location : L"");
        ASSERT_TRUE(writeTeamLibrary(texts, s, reason));
        EXPECT_EQ(texts.values,
                  (std::map<std::wstring, std::wstring>{{L"TeamLibrary", s.teamLibrary}}));
    }
    texts.values.clear();
    s.teamLibrary = L"D:\\before.csv";
    readTeamLibrary(texts, s);
    EXPECT_EQ(s.teamLibrary, L"");
}

}  // namespace
}  // namespace replybar

namespace replybar {
namespace {

TEST(Settings, TheTeamLibrarysCheckIntervalKeepsToItsRange) {
    const struct {
        std::optional<std::uint32_t> stored;
        int seconds;
    } cases[] = {{std::nullopt, 60}, {2, 2}, {3600, 3600}, {1, 60}, {0, 60}, {3601, 60}};
    for (const auto& c : cases) {
        testing::FakeSettingNumbers numbers;
        if (c.stored) numbers.values[kTeamCheckSecondsValue] = *c.stored;
        Settings s;
        readTeamCheckSeconds(numbers, s);
        EXPECT_EQ(s.teamCheckSeconds, c.seconds);
    }
}

}  // namespace
}  // namespace replybar
