#include "reply/reply_pick.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/target_integrity.h"
#include "fakes.h"

namespace replybar {
namespace {

using namespace testing;
using Keys = std::vector<std::wstring>;
using SendKey = keys::SendKey;

class ReplyPickTest : public ::testing::Test {
protected:
    // Time passes a millisecond at a time; whatever changes at a moment is given by `at`.
    void elapse(unsigned ms, const std::function<void(unsigned)>& at = nullptr) {
        for (unsigned i = 1; i <= ms; ++i) {
            ++clock.now;
            if (at) at(i);
            if (timers.due(TimerId::PickStep)) pick.tick();
        }
    }
    void click(const std::wstring& text, bool autoSend = true) {
        pick.press(text);
        pick.release(text, autoSend);
    }
    // Milliseconds from `start` to each key.
    std::vector<std::uint64_t> keyTimes(std::uint64_t start) const {
        std::vector<std::uint64_t> t;
        for (auto a : keys.at) t.push_back(a - start);
        return t;
    }

    FakeClock clock;
    FakeTimers timers{&clock};
    FakeClipboard clipboard;
    FakeKeys keys{&clock};
    FakeMessages messages;
    FakeTarget target;
    ReplyPick pick{{clipboard, keys, messages, target, timers, clock}};
};

// Ctrl+V once the clipboard has been ours for the quiet time (a mouse pick's press-to-release
// gap counts towards it), the send key the user chose a fixed while after it, never before.
TEST_F(ReplyPickTest, PasteAfterTheQuietTimeTheSendKeyAfterIt) {
    const struct {
        bool autoSend;
        SendKey sendKey;
        unsigned pressToRelease;
        Keys sent;
        std::uint64_t pasteAt;  // from the release
    } cases[] = {{true, SendKey::CtrlEnter, 0, {L"^v|wait", L"^{Enter}"}, kClipboardQuietMs},
                 {true, SendKey::Enter, 0, {L"^v|wait", L"{Enter}"}, kClipboardQuietMs},
                 {false, SendKey::Enter, 0, {L"^v|wait"}, kClipboardQuietMs},
                 {true, SendKey::CtrlEnter, 30, {L"^v|wait", L"^{Enter}"}, kClipboardQuietMs - 30},
                 {true, SendKey::CtrlEnter, 120, {L"^v|wait", L"^{Enter}"}, 0}};
    for (const auto& c : cases) {
        keys = FakeKeys{&clock};
        pick.setSendKey(c.sendKey);
        pick.press(L"好的");
        elapse(c.pressToRelease);
        const auto start = clock.now;
        pick.release(L"好的", c.autoSend);
        elapse(1000);
        EXPECT_EQ(keys.sent, c.sent);
        EXPECT_EQ(keyTimes(start).front(), c.pasteAt);
        if (c.autoSend) {
            EXPECT_EQ(keyTimes(start)[1], c.pasteAt + kSendKeyDelayMs);
        }
        EXPECT_EQ(clipboard.texts.back(), L"好的");
        EXPECT_FALSE(pick.pending());
        EXPECT_TRUE(messages.shown.empty());
    }
}

// What the chat gets is the reply or nothing. A reader with the clipboard open (clipboard
// history, a clipboard manager) keeps Ctrl+V back until it lets go; any sign that the paste
// may not have happened keeps the send key back, with a word why; an empty reply sends nothing.
TEST_F(ReplyPickTest, NoSendKeyUnlessThePasteCanHaveHappened) {
    const auto open = [&](bool on) { return [&, on] { clipboard.open = on; }; };
    const struct {
        const char* what;
        const wchar_t* text;
        unsigned readerUntil;               // ms from the release the reader holds it open
        std::function<void()> atCtrlV;      // happens as the target takes Ctrl+V
        Keys sent;
        const wchar_t* told;  // a part of the one message, or none
    } cases[] = {
        {"a reader briefly", L"好", 120, nullptr, {L"^v|wait", L"^{Enter}"}, nullptr},
        {"a reader for good", L"好", 9000, nullptr, {}, L"没有粘贴"},
        {"a reader during Ctrl+V", L"好", 0, open(true), {L"^v|wait"}, L"没有自动发送"},
        {"written over at Ctrl+V", L"好", 0, [&] { clipboard.overwrite(); }, {L"^v|wait"},
         L"没有自动发送"},
        {"another window at Ctrl+V", L"好", 0, [&] { target.window = 0x7777; }, {L"^v|wait"},
         L"没有自动发送"},
        {"an empty reply", L"", 0, nullptr, {}, L"空的"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        keys = FakeKeys{&clock};
        keys.onSend = [&](const std::wstring& k) {
            if (k == L"^v|wait" && c.atCtrlV) c.atCtrlV();
        };
        messages.shown.clear();
        target.window = 0x1234;
        clipboard.open = c.readerUntil > 0;
        clipboard.holder = L"剪贴板历史";
        const auto start = clock.now;
        click(c.text);
        elapse(9500, [&](unsigned t) {
            if (t == c.readerUntil) clipboard.open = false;
        });
        clipboard.open = false;
        EXPECT_EQ(keys.sent, c.sent);
        if (!c.sent.empty()) EXPECT_GE(keyTimes(start)[0], c.readerUntil);
        ASSERT_EQ(messages.shown.size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_NE(messages.shown[0].text.find(c.told), std::wstring::npos)
                << std::string(messages.shown[0].text.begin(), messages.shown[0].text.end());
        }
        EXPECT_FALSE(pick.pending());
    }
}

// Another program holding the clipboard: a short hold delays the paste, a long one ends the pick
// with no key at all and one message naming the holder; the next pick works again.
TEST_F(ReplyPickTest, ABusyClipboardDelaysOrStopsThePick) {
    const struct {
        unsigned holdMs;  // from the press
        bool pasted;
    } cases[] = {{0, true}, {300, true}, {kClipboardRetryMs + 50, true}, {8000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.holdMs);
        keys = FakeKeys{&clock};
        messages.shown.clear();
        clipboard.holder = L"剪贴板助手";
        clipboard.busy = c.holdMs > 0;
        clipboard.ours = false;
        const auto start = clock.now;
        pick.press(L"你好");
        elapse(100, [&](unsigned t) { clipboard.busy = t < c.holdMs; });
        pick.release(L"你好", true);
        elapse(9000, [&](unsigned t) { clipboard.busy = 100 + t < c.holdMs; });
        if (c.pasted) {
            EXPECT_EQ(keys.sent, (Keys{L"^v|wait", L"^{Enter}"}));
            EXPECT_GE(keyTimes(start)[0], c.holdMs);
            EXPECT_TRUE(messages.shown.empty());
        } else {
            EXPECT_TRUE(keys.sent.empty());
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_NE(messages.shown[0].text.find(L"剪贴板助手"), std::wstring::npos);
            EXPECT_NE(messages.shown[0].text.find(L"没有粘贴"), std::wstring::npos);
        }
        EXPECT_FALSE(pick.pending());
    }
    keys = FakeKeys{&clock};
    click(L"再来");
    elapse(200);
    EXPECT_EQ(keys.sent, (Keys{L"^v|wait", L"^{Enter}"}));
}

// Whatever happened between press and release, the keys go out only with our text on the
// clipboard and only to the window that was in front at the release.
TEST_F(ReplyPickTest, KeysOnlyWithTheReplyOnTheClipboardAndToTheSameWindow) {
    // Another program wrote over the reply: it is put back, then pasted.
    pick.press(L"甲");
    clipboard.overwrite();
    pick.release(L"甲", false);
    elapse(kClipboardQuietMs);
    EXPECT_EQ(clipboard.texts, (Keys{L"甲", L"甲"}));
    EXPECT_EQ(keys.sent, Keys{L"^v|wait"});

    // The foreground changed while the clipboard was busy: nothing goes out, the user is told.
    keys = FakeKeys{&clock};
    clipboard.busy = true;
    pick.press(L"乙");
    pick.release(L"乙", true);
    elapse(200, [&](unsigned t) {
        if (t == 50) target.window = 0x9999, clipboard.busy = false;
    });
    EXPECT_TRUE(keys.sent.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(L"前台"), std::wstring::npos);

    // The foreground changed before the send key: the paste went out, the send key does not.
    keys = FakeKeys{&clock};
    target.window = 0x1234;
    messages.shown.clear();
    click(L"丙");
    elapse(kClipboardQuietMs + kSendKeyDelayMs, [&](unsigned t) {
        if (t == kClipboardQuietMs + 10) target.window = 0x5555;
    });
    EXPECT_EQ(keys.sent, Keys{L"^v|wait"});
    EXPECT_TRUE(messages.shown.empty());  // the user went elsewhere: nothing to tell
}

// A new pick while a send key is still due: the send key goes out first, to its own paste.
TEST_F(ReplyPickTest, ASendKeyStillDueGoesOutBeforeTheNextPick) {
    click(L"一");
    elapse(kClipboardQuietMs + 10);
    click(L"二");
    elapse(kClipboardQuietMs);
    EXPECT_EQ(keys.sent, (Keys{L"^v|wait", L"^{Enter}", L"^v|wait"}));
    EXPECT_EQ(clipboard.texts, (Keys{L"一", L"二"}));
}

// Remote sessions get the clipboard late: a longer wait before the paste, never a send key,
// and the user hears why once per start.
TEST_F(ReplyPickTest, RemoteDesktopWindowsPasteLateAndNeverSend) {
    target.windowClass = L"TscShellContainerClass";
    pick.setSendKey(SendKey::Enter);  // no more than Ctrl+Enter
    for (int i = 0; i < 2; ++i) {
        keys = FakeKeys{&clock};
        const auto start = clock.now;
        click(L"远程");
        elapse(2000);
        EXPECT_EQ(keys.sent, Keys{L"^v|wait"});
        EXPECT_EQ(keyTimes(start)[0], kClipboardQuietMs + kRemotePasteDelayMs);
    }
    EXPECT_EQ(messages.shown.size(), 1u);

    const struct {
        const wchar_t* windowClass;
        bool remote;
    } classes[] = {{L"TscShellContainerClass", true},
                   {L"tscshellcontainerclass", true},
                   {L"RAIL_WINDOW", true},
                   {L"Transparent Windows Client", true},
                   {L"FreeRDP", true},
                   {L"wfreerdp_Main", true},
                   {L"E2EChat", false},
                   {L"Chrome_WidgetWin_1", false},
                   {L"", false}};
    for (const auto& c : classes)
        EXPECT_EQ(isRemoteDesktopClass(c.windowClass), c.remote) << c.windowClass;
}

TEST_F(ReplyPickTest, AnElevatedTargetGetsNoKeysAndTheReplyStaysOnTheClipboard) {
    target.integrity = TargetIntegrity::Higher;
    clipboard.busy = true;  // the press could not write: the release tries once more
    pick.press(L"管理员");
    clipboard.busy = false;
    pick.release(L"管理员", true);
    elapse(500);
    EXPECT_TRUE(keys.sent.empty());
    EXPECT_EQ(clipboard.texts, Keys{L"管理员"});
    ASSERT_EQ(messages.shown.size(), 1u);

    // A process the system will not even open counts as higher; a level not available does not.
    const struct {
        bool denied;
        std::optional<unsigned long> ours, theirs;
        TargetIntegrity answer;
    } cases[] = {{true, 0x2000, std::nullopt, TargetIntegrity::Higher},
                 {true, std::nullopt, std::nullopt, TargetIntegrity::Higher},
                 {false, 0x2000, 0x3000, TargetIntegrity::Higher},
                 {false, 0x2000, 0x2000, TargetIntegrity::SameOrLower},
                 {false, 0x2000, 0x1000, TargetIntegrity::SameOrLower},
                 {false, 0x2000, std::nullopt, TargetIntegrity::Unknown},
                 {false, std::nullopt, 0x3000, TargetIntegrity::Unknown}};
    for (const auto& c : cases) EXPECT_EQ(compareIntegrity(c.denied, c.ours, c.theirs), c.answer);
}

// A plain Enter has no Ctrl of its own to make the release of a held modifier no lone tap
// (menu bar, Start menu, input method): the unassigned mask key does it, and nothing held is
// pressed again.
TEST(Keystrokes, APlainEnterLetsHeldModifiersGoBehindTheMaskKey) {
    using namespace keys;
    using E = KeyEvent;
    const struct {
        std::vector<std::uint16_t> held;
        std::vector<KeyEvent> plan;
    } cases[] = {
        {{}, {E{kReturn, false}, {kReturn, true}}},
        {{kLMenu, kRControl},
         {E{kMaskKey, false},
          {kLMenu, true},
          {kRControl, true},
          {kMaskKey, true},
          {kReturn, false},
          {kReturn, true}}},
    };
    for (const auto& c : cases) EXPECT_EQ(planKeys(chordOf(SendKey::Enter), {c.held}), c.plan);
    EXPECT_EQ(chordOf(SendKey::CtrlEnter), Chord::CtrlEnter);
}

}  // namespace
}  // namespace replybar
