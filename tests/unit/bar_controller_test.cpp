#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "bar/bar_controller.h"
#include "core/key_settings.h"
#include "core/keystrokes.h"
#include "fakes.h"

namespace replybar {
namespace {

using testing::FakeClipboard;
using testing::FakeClock;
using testing::FakeHotkeys;
using testing::FakeKeys;
using testing::FakeMessages;
using testing::FakeTarget;
using testing::FakeTimers;

struct FakeWindow : IBarWindow {
    void setBounds(const PxRect& r) override { bounds.push_back(r); }
    void setRegion(const std::vector<PxRect>& r) override { region = r; }
    void invalidate() override { ++paints; }
    PxPoint cursorPos() override { return cursor; }
    PxRect workArea() override { return monitor; }
    std::vector<PxRect> bounds;
    PxRect monitor{0, 0, 1280, 800};
    std::vector<PxRect> region;
    PxPoint cursor;
    int paints = 0;
};

struct FakeActions : IBarActions {
    void openSettingsDialog() override { log.push_back(L"settings"); }
    void openReplyEditor(int row) override {
        log.push_back(L"editor");
        editorRow = row;
    }
    void runButtonAction(BarButton b) override {
        log.push_back(L"action" + std::to_wstring(int(b)));
    }
    void closeLauncherMenu() override { log.push_back(L"close menu"); }
    void openReplyEditorToAdd(const std::wstring& text, int icon) override {
        log.push_back(L"add " + text + (icon >= 0 ? L" icon " + std::to_wstring(icon) : L""));
    }
    void repliesIdle() override { ++idle; }
    void replyPicked(const std::wstring& group, const std::wstring& text) override {
        log.push_back(L"picked " + group + L"|" + text);
    }
    std::vector<std::wstring> log;
    int editorRow = -1;  // the row the editor last opened on
    int idle = 0;        // times the team's groups were free to change
};

constexpr PxRect kBar{159, 771, 262, 800};
const Target kStrip{Target::DragStrip, 0};
Target button(BarButton b) { return {Target::Button, static_cast<int>(b)}; }
Target text(int row) { return {Target::RowText, row}; }
Target icon(int row) { return {Target::RowIcon, row}; }
const Target kBackground{Target::PanelBackground, 0};
constexpr auto L = MouseButton::Left, R = MouseButton::Right;

class BarControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        replies.rows.resize(6);
        replies.autoSend = true;
        for (int i = 0; i < 6; ++i) replies.rows[i].fullText = L"reply " + std::to_wstring(i);
        bar.setPanelSize(panelSizeFor(6));
        bar.setWindowRect(kBar);
    }
    // The middle of a bar button in window pixels, or the corner for the other targets.
    PxPoint middleOf(const Target& t) const {
        if (t.kind != Target::Button) return {};
        const PxRect r = BarController::buttonRect(static_cast<BarButton>(t.index));
        const PxPoint face = bar.faceOrigin();
        return {face.x + (r.left + r.right) / 2, face.y + (r.top + r.bottom) / 2};
    }
    void release(const Target& t, MouseButton b = L) {
        bar.mouseUp(t, b, middleOf(t).x, middleOf(t).y);
    }
    void click(const Target& t, MouseButton b = L) {
        bar.mouseDown(t, b, middleOf(t).x, middleOf(t).y);
        release(t, b);
    }
    // The hotkey, and the panel on screen.
    void openByKey() {
        bar.hotkeyPressed();
        bar.keyboardPanelShown();
    }
    // Time passes; the pick's timer fires when due.
    void elapse(unsigned ms) {
        for (unsigned i = 0; i < ms; ++i) {
            ++clock.now;
            if (timers.due(TimerId::PickStep)) bar.timerTick(TimerId::PickStep);
        }
    }

    Replies replies;
    FakeWindow window;
    FakeClock clock;
    FakeTimers timers{&clock};
    FakeClipboard clipboard;
    FakeKeys keys{&clock};
    FakeMessages messages;
    FakeActions actions;
    FakeTarget target;
    FakeHotkeys hotkeys;
    BarController bar{replies,
                      {window, timers, clipboard, keys, messages, actions, target, clock, hotkeys}};
};

TEST_F(BarControllerTest, HoverOnlyAfterTheDragStripWasPressed) {
    bar.mouseMove(button(BarButton::Home), 0, 0);
    EXPECT_EQ(bar.picture(BarButton::Home), Picture::Normal);  // nothing pressed yet
    click(kStrip);
    bar.mouseMove(button(BarButton::Home), 0, 0);
    EXPECT_EQ(bar.picture(BarButton::Home), Picture::Hover);
    bar.mouseMove(button(BarButton::Reply), 0, 0);  // moving on resets the others
    EXPECT_EQ(bar.picture(BarButton::Home), Picture::Normal);
    EXPECT_EQ(bar.picture(BarButton::Reply), Picture::Hover);
    bar.mouseMove(kStrip, 0, 0);  // the strip resets three buttons, not the reply button
    EXPECT_EQ(bar.picture(BarButton::Reply), Picture::Hover);

    bar.mouseDown(button(BarButton::Desktop), L, 0, 0);
    EXPECT_EQ(bar.picture(BarButton::Desktop), Picture::Pressed);
    release(button(BarButton::Desktop));
    EXPECT_EQ(bar.picture(BarButton::Desktop), Picture::Normal);
    bar.mouseMove(button(BarButton::Launch), 0, 0);
    EXPECT_EQ(bar.picture(BarButton::Launch), Picture::Normal);  // no hover after a button press
    click(kStrip);
    click(button(BarButton::Reply));  // nor after a press on the reply button
    bar.restoreBar();
    bar.mouseMove(button(BarButton::Home), 0, 0);
    EXPECT_EQ(bar.picture(BarButton::Home), Picture::Normal);
    EXPECT_EQ(actions.log, (std::vector<std::wstring>{L"action0"}));
}

TEST_F(BarControllerTest, RightClicksOnButtonsOpenDialogsWithoutPictures) {
    click(button(BarButton::Launch), R);
    EXPECT_EQ(bar.picture(BarButton::Launch), Picture::Normal);
    click(button(BarButton::Reply), R);
    EXPECT_EQ(actions.editorRow, 0);  // the editor opens on the first reply
    click(kStrip, R);
    EXPECT_EQ(actions.log, (std::vector<std::wstring>{L"settings", L"editor", L"settings"}));
    EXPECT_TRUE(window.bounds.empty());  // a right drag does not move the bar
}

// The three buttons share the rules: any press closes the open panel, only the left one shows
// the pressed picture, and only a left release runs the action; any other opens the settings.
TEST_F(BarControllerTest, ButtonsPressAndReleaseByMouseButton) {
    for (BarButton b : {BarButton::Desktop, BarButton::Home, BarButton::Launch}) {
        for (MouseButton m : {L, R, MouseButton::Middle}) {
            SCOPED_TRACE(::testing::Message() << int(b) << "/" << int(m));
            click(button(BarButton::Reply));
            ASSERT_TRUE(bar.panelOpen());
            actions.log.clear();
            bar.mouseDown(button(b), m, 0, 0);
            EXPECT_FALSE(bar.panelOpen());
            EXPECT_EQ(bar.picture(b), m == L ? Picture::Pressed : Picture::Normal);
            release(button(b), m);
            EXPECT_EQ(bar.picture(b), Picture::Normal);
            EXPECT_EQ(actions.log, std::vector<std::wstring>{
                                       m == L ? L"action" + std::to_wstring(int(b)) : L"settings"});
        }
    }
}

// The launcher button arms the menu's auto-close; its ticks close the menu with EndMenu, never
// with a key that would reach the user's window.
TEST_F(BarControllerTest, LauncherArmsTheMenuAutoClose) {
    click(button(BarButton::Reply));
    bar.mouseMove(text(3), 0, 0);
    click(button(BarButton::Launch));
    EXPECT_EQ(actions.log, (std::vector<std::wstring>{L"action2"}));
    bar.watchMenuPointer(BarController::MenuPointer::Away);
    EXPECT_EQ(timers.on.at(TimerId::MenuCloseCountdown), 200u);
    for (int i = 0; i < 5; ++i) bar.timerTick(TimerId::MenuCloseCountdown);
    EXPECT_EQ(actions.log.back(), L"action2");
    bar.timerTick(TimerId::MenuCloseCountdown);
    EXPECT_EQ(actions.log.back(), L"close menu");
    EXPECT_FALSE(timers.on.count(TimerId::MenuCloseCountdown));
    EXPECT_TRUE(keys.sent.empty());
    bar.menuItemLeft();  // the menu reports through its host
    EXPECT_TRUE(timers.on.count(TimerId::MenuCloseCountdown));
    bar.menuItemSelected();
    EXPECT_FALSE(timers.on.count(TimerId::MenuCloseCountdown));
    click(button(BarButton::Reply));
    click(kBackground);  // the row hovered before the menu is forgotten
    EXPECT_TRUE(clipboard.texts.empty());
}

TEST_F(BarControllerTest, NoRepliesShowsTheNoticeThenTheEditor) {
    replies.rows.clear();
    for (MouseButton b : {L, R}) {
        bar.mouseDown(button(BarButton::Reply), b, 0, 0);
        EXPECT_TRUE(bar.pressConsumed());
    }
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text,
              L"没有设置回复信息，请先添加回复信息；以后鼠标右键点击快捷回复图标，可以随时添加。");
    EXPECT_EQ(messages.shown[0].title, L"提示");
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Info);
    EXPECT_EQ(actions.log, (std::vector<std::wstring>{L"editor", L"editor"}));
    EXPECT_FALSE(bar.panelOpen());
}

TEST_F(BarControllerTest, PanelOpensUpwardWithItsRegionAndClosesBack) {
    click(button(BarButton::Reply));
    ASSERT_TRUE(bar.panelOpen());
    // Six rows: 1470 + 180 + 60 = 1710 twips = 114 px above the face; 5805 twips = 387 px wide.
    EXPECT_EQ(bar.windowRect(), (PxRect{159, 771 - 114, 159 + 387, 800}));
    EXPECT_EQ(bar.faceOrigin(), (PxPoint{0, 114}));
    EXPECT_EQ(window.region, (std::vector<PxRect>{{0, 0, 388, 115}, {0, 114, 104, 143 + 15}}));
    EXPECT_EQ(timers.on.at(TimerId::PanelPointerPoll), 500u);
    EXPECT_FALSE(bar.bandRect());  // parked out of sight
    EXPECT_EQ(bar.rowCount(), 6);

    bar.restoreBar();
    EXPECT_EQ(bar.windowRect(), kBar);
    EXPECT_EQ(bar.faceOrigin(), (PxPoint{0, 0}));
    EXPECT_FALSE(timers.on.count(TimerId::PanelPointerPoll));
}

TEST_F(BarControllerTest, ReplyButtonClickOnAnOpenPanelReopensItFresh) {
    click(button(BarButton::Reply));
    bar.mouseMove(text(1), 0, 0);
    ASSERT_TRUE(bar.bandRect());
    bar.mouseDown(button(BarButton::Reply), L, 0, 0);
    EXPECT_FALSE(bar.panelOpen());
    bar.mouseUp(button(BarButton::Reply), L, 0, 0);
    EXPECT_TRUE(bar.panelOpen());
    EXPECT_FALSE(bar.bandRect());
    EXPECT_EQ(bar.windowRect().top, 771 - 114);  // not moved up twice
    click(kBackground);  // the row hovered before is forgotten
    EXPECT_TRUE(clipboard.texts.empty());
}

// The background answers for the row whose text was last under the pointer: a left click
// picks it, a right click opens it in the editor, the middle button does nothing; only the left
// one ever pastes or sends.
TEST_F(BarControllerTest, BackgroundClicksActForTheRowLastUnderThePointer) {
    const struct {
        MouseButton button;
        std::vector<std::wstring> pasted, sent, log;
    } cases[] = {{L, {L"reply 2"}, {L"^v|wait", L"^{Enter}"}, {L"picked |reply 2"}},
                 {R, {}, {}, {L"editor"}},
                 {MouseButton::Middle, {}, {}, {}}};
    for (const auto& c : cases) {
        clipboard.texts.clear(), keys.sent.clear(), actions.log.clear();
        click(button(BarButton::Reply));
        bar.mouseMove(text(2), 0, 0);
        bar.mouseMove(icon(5), 0, 0);
        EXPECT_EQ(bar.bandRect()->top, 94);  // (1425 - 20) / 15, to the nearest pixel
        click(kBackground, c.button);
        elapse(kClipboardQuietMs + kSendKeyDelayMs);
        EXPECT_EQ(clipboard.texts, c.pasted);
        EXPECT_EQ(keys.sent, c.sent);
        EXPECT_EQ(actions.log, c.log);
        if (c.button == R) EXPECT_EQ(actions.editorRow, 2);
        if (bar.panelOpen()) bar.restoreBar();
    }
}

TEST_F(BarControllerTest, PickingRowsLeftAndRight) {
    replies.autoSend = false;
    click(button(BarButton::Reply));
    bar.mouseDown(icon(4), R, 0, 0);
    EXPECT_TRUE(clipboard.texts.empty());  // only the left button copies
    bar.mouseUp(icon(4), R, 0, 0);
    EXPECT_FALSE(bar.panelOpen());
    EXPECT_EQ(actions.editorRow, 4);
    EXPECT_EQ(actions.log.back(), L"editor");

    click(button(BarButton::Reply));
    click(text(3));
    elapse(kClipboardQuietMs);
    EXPECT_EQ(clipboard.texts, (std::vector<std::wstring>{L"reply 3"}));
    EXPECT_EQ(keys.sent, (std::vector<std::wstring>{L"^v|wait"}));  // no auto-send
    click(button(BarButton::Reply));
    click(kBackground);  // no row hovered since the panel opened: nothing
    EXPECT_EQ(clipboard.texts.size(), 1u);
}

// Windows drops keystrokes to a program run as administrator: the user is told, nothing is sent,
// and the reply stays on the clipboard. A program that cannot be looked at is pasted to.
TEST_F(BarControllerTest, AnElevatedTargetGetsNoKeysButAMessage) {
    const struct {
        TargetIntegrity integrity;
        bool pasted;
    } cases[] = {{TargetIntegrity::Higher, false},
                 {TargetIntegrity::SameOrLower, true},
                 {TargetIntegrity::Unknown, true}};
    for (const auto& c : cases) {
        keys.sent.clear(), messages.shown.clear(), clipboard.texts.clear();
        target.integrity = c.integrity;
        click(button(BarButton::Reply));
        click(text(1));
        elapse(kClipboardQuietMs + kSendKeyDelayMs);
        EXPECT_EQ(clipboard.texts, std::vector<std::wstring>{L"reply 1"});
        EXPECT_EQ(keys.sent.empty(), !c.pasted);
        ASSERT_EQ(messages.shown.size(), c.pasted ? 0u : 1u);
        if (!c.pasted) {
            EXPECT_NE(messages.shown[0].text.find(L"管理员身份"), std::wstring::npos);
        }
        EXPECT_FALSE(bar.panelOpen());
    }
}

// A paste the system refused is reported, and no send key follows it.
TEST_F(BarControllerTest, RefusedKeystrokesAreReported) {
    keys.accept = false;
    click(button(BarButton::Reply));
    click(text(0));
    elapse(1000);
    EXPECT_EQ(keys.sent, std::vector<std::wstring>{L"^v|wait"});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, L"提示");
}

// As everywhere on Windows, a left press slid off its button before the release does nothing.
TEST_F(BarControllerTest, AClickSlidOffAButtonIsCancelled) {
    for (BarButton b : {BarButton::Desktop, BarButton::Home, BarButton::Launch}) {
        const PxPoint on = middleOf(button(b));
        for (PxPoint off : {PxPoint{1, 14}, PxPoint{on.x, 40}, PxPoint{-30, on.y}}) {
            actions.log.clear();
            bar.mouseDown(button(b), L, on.x, on.y);
            bar.mouseUp(button(b), L, off.x, off.y);
            EXPECT_EQ(bar.picture(b), Picture::Normal);
            EXPECT_TRUE(actions.log.empty()) << int(b) << " released at " << off.x << "," << off.y;
        }
    }
}

TEST_F(BarControllerTest, PointerPollClosesAfterTwoTicksOutsideEdgesInside) {
    click(button(BarButton::Reply));
    const PxRect w = bar.windowRect();
    const struct {
        PxPoint at;
        bool open;
    } ticks[] = {
        {{w.right, w.bottom}, true},  // right and bottom edges count as inside
        {{w.right + 1, w.top}, true},
        {{w.left + 5, w.bottom}, true},  // back within one tick: countdown full again
        {{w.left - 1, w.top}, true},
        {{w.left, w.top - 1}, false},
    };
    for (const auto& t : ticks) {
        window.cursor = t.at;
        bar.timerTick(TimerId::PanelPointerPoll);
        EXPECT_EQ(bar.panelOpen(), t.open) << t.at.x << "," << t.at.y;
    }
    EXPECT_FALSE(timers.on.count(TimerId::PanelPointerPoll));
    EXPECT_EQ(bar.windowRect(), kBar);
    click(button(BarButton::Reply));  // one pixel past the right edge is outside too
    window.cursor = {w.right + 1, w.top};
    for (int i = 0; i < 2; ++i) bar.timerTick(TimerId::PanelPointerPoll);
    EXPECT_FALSE(bar.panelOpen());
}

TEST_F(BarControllerTest, DragMovesByThePointersDistance) {
    click(button(BarButton::Reply));
    bar.mouseDown(kStrip, L, 2, 114 + 14);  // closes the panel first; the face stays put
    EXPECT_FALSE(bar.panelOpen());
    EXPECT_EQ(bar.windowRect(), kBar);
    bar.mouseMove(kStrip, 52, 14 - 30);
    EXPECT_EQ(bar.windowRect(), (PxRect{209, 741, 312, 770}));
    // The window moved: the pointer's position is now relative to the new place.
    bar.mouseMove(kStrip, 2 + 3000, 14);
    EXPECT_EQ(bar.windowRect().left, 3209);  // 32-bit positions, beyond 16-bit twips
    bar.mouseUp(kStrip, L, 0, 0);
    const auto moves = window.bounds.size();
    bar.mouseMove(kStrip, 90, 20);
    EXPECT_EQ(window.bounds.size(), moves);  // released: no more moving
}

// A drag ends when another window takes the mouse, and the rules follow the window wherever
// something else put it.
TEST_F(BarControllerTest, ADragEndsWithTheCaptureAndMovesFollowTheRealWindow) {
    bar.mouseDown(kStrip, L, 2, 14);
    bar.captureLost();
    bar.mouseMove(kStrip, 52, 14);
    EXPECT_TRUE(window.bounds.empty());

    bar.setWindowRect({500, 300, 603, 329});  // moved by the system
    click(button(BarButton::Reply));
    EXPECT_EQ(bar.windowRect().left, 500);
    EXPECT_EQ(bar.windowRect().bottom, 329);
}

// Below the bar the rows, the hover band, the pick and the pointer poll work as above it.
TEST_F(BarControllerTest, APanelBelowTheBarWorksAsAbove) {
    bar.setWindowRect({159, 0, 262, 29});
    click(button(BarButton::Reply));
    ASSERT_TRUE(bar.panelOpen());
    EXPECT_EQ(bar.windowRect(), (PxRect{159, 0, 546, 143}));
    EXPECT_EQ(bar.faceOrigin(), (PxPoint{0, 0}));
    EXPECT_EQ(bar.hitTest(87, 15), button(BarButton::Reply));
    const int row2 = 29 + (630 + 60) / 15;
    EXPECT_EQ(bar.hitTest(60, row2), text(2));
    bar.mouseMove(text(2), 60, row2);
    EXPECT_EQ(bar.bandRect()->top, (570 - 20 + 7) / 15);  // in the panel
    click(text(2));
    EXPECT_EQ(clipboard.texts, (std::vector<std::wstring>{L"reply 2"}));
    EXPECT_FALSE(bar.panelOpen());
    EXPECT_EQ(bar.windowRect(), (PxRect{159, 0, 262, 29}));
    EXPECT_TRUE(window.region.empty());  // the whole bar again, not the panel's shape

    // At the top right the panel opens below and shifted left; closed, the face is where it was.
    bar.setWindowRect({1177, 0, 1280, 29});
    click(button(BarButton::Reply));
    EXPECT_LT(bar.windowRect().left, 1177);
    bar.restoreBar();
    EXPECT_EQ(bar.windowRect(), (PxRect{1177, 0, 1280, 29}));
    EXPECT_TRUE(window.region.empty());

    bar.setWindowRect({159, 0, 262, 29});
    replies.rows.resize(41);
    bar.setPanelSize(panelSizeFor(41));
    click(button(BarButton::Reply));
    EXPECT_EQ(bar.rowsPerColumn(), 21);
    EXPECT_EQ(bar.hitTest((5805 + 400) / 15, 29 + 1200 / 15), text(25));  // column 2, 5th row
    window.cursor = {600, 300};  // inside the wide window, right of the bar face
    bar.timerTick(TimerId::PanelPointerPoll);
    bar.timerTick(TimerId::PanelPointerPoll);
    EXPECT_TRUE(bar.panelOpen());
}

// Keyboard mode from the bar's side: the hotkey opens the panel with row 1 under the band, a
// key picks exactly as a click does, and every way the mode ends closes what it should and
// leaves none of the panel's keys registered.
TEST_F(BarControllerTest, KeyboardModeOpensPicksAndAlwaysGivesItsKeysBack) {
    const int idOf2 = panelKeyHotkeyId('2'), idOfDown = panelKeyHotkeyId(keys::kDown);
    const int idOfEnter = panelKeyHotkeyId(keys::kReturn);
    const int idOfEsc = panelKeyHotkeyId(keys::kEscape);
    openByKey();
    ASSERT_TRUE(bar.panelOpen() && bar.keyboardMode());
    ASSERT_TRUE(bar.bandRect());
    const int firstRowTop = bar.bandRect()->top;
    EXPECT_EQ(bar.rowKeyLabel(0), L"1");
    EXPECT_EQ(bar.rowKeyLabel(5), L"6");
    EXPECT_EQ(bar.rowKeyLabel(6), L"");  // six replies: no seventh key
    EXPECT_TRUE(hotkeys.registered.count(idOf2));
    for (int i = 0; i < 4; ++i) bar.timerTick(TimerId::PanelPointerPoll);  // pointer far away
    EXPECT_TRUE(bar.panelOpen()) << "the panel waits for its keys wherever the pointer is";

    bar.panelKeyPressed(idOf2);
    EXPECT_FALSE(bar.panelOpen());
    EXPECT_FALSE(hotkeys.registered.empty()) << "the keys stay the bar's until the send key";
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_TRUE(hotkeys.registered.empty());
    EXPECT_EQ(clipboard.texts, std::vector<std::wstring>{L"reply 1"});
    EXPECT_EQ(keys.sent, (std::vector<std::wstring>{L"^v|wait", L"^{Enter}"}));

    openByKey();  // Down, Down, Enter: the third row
    bar.panelKeyPressed(idOfDown);
    EXPECT_GT(bar.bandRect()->top, firstRowTop);  // the band follows the highlight
    bar.panelKeyPressed(idOfDown);
    bar.panelKeyPressed(idOfEnter);
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts.back(), L"reply 2");
    EXPECT_TRUE(hotkeys.registered.empty());

    struct Ending {
        const char* what;
        std::function<void()> end;
        bool panelStaysOpen;
    };
    const Ending endings[] = {
        {"Esc", [&] { bar.panelKeyPressed(idOfEsc); }, false},
        {"the hotkey again", [&] { bar.hotkeyPressed(); }, false},
        {"a click elsewhere", [&] { bar.endKeyboardMode(KeyboardModeEnd::ClickedElsewhere); },
         false},
        {"another window in front",
         [&] { bar.endKeyboardMode(KeyboardModeEnd::ForegroundChanged); }, false},
        {"a lock of the screen", [&] { bar.endKeyboardMode(KeyboardModeEnd::SessionEnded); },
         false},
        {"a press on the drag strip", [&] { bar.mouseDown(kStrip, L, 2, 2); }, false},
        {"left alone",
         [&] {
             clock.now += kKeyboardModeIdleMs;
             bar.timerTick(TimerId::PanelPointerPoll);
         },
         false},
        {"the mouse over the rows",
         [&] {
             window.cursor.x += 40;
             bar.mouseMove(text(1), 60, 20);
         },
         true},
    };
    for (const Ending& e : endings) {
        SCOPED_TRACE(e.what);
        const std::size_t picks = clipboard.texts.size();
        openByKey();
        ASSERT_TRUE(bar.keyboardMode());
        e.end();
        EXPECT_FALSE(bar.keyboardMode());
        EXPECT_TRUE(hotkeys.registered.empty());
        EXPECT_EQ(bar.panelOpen(), e.panelStaysOpen);
        EXPECT_EQ(bar.rowKeyLabel(0), L"");
        EXPECT_EQ(clipboard.texts.size(), picks) << "nothing picked";
        if (bar.panelOpen()) bar.restoreBar();
    }

    // Esc or Enter held by another program: no keyboard mode at all, and a word why.
    hotkeys.taken.insert({0, keys::kEscape});
    openByKey();
    EXPECT_FALSE(bar.panelOpen() || bar.keyboardMode());
    EXPECT_TRUE(hotkeys.registered.empty());
    EXPECT_EQ(messages.shown.size(), 1u);
}

// From a key pick until its send key is out, nothing else joins the message: the hotkey again
// and the panel's keys do nothing, and the send key reaches the chat, not a new panel's Enter.
TEST_F(BarControllerTest, EachKeyPickSendsItsOwnReply) {
    using Texts = std::vector<std::wstring>;
    bar.setSendKey(keys::SendKey::Enter);
    const auto key = [&](std::uint16_t vk) { bar.panelKeyPressed(panelKeyHotkeyId(vk)); };
    const struct {
        const char* what;
        std::function<void()> meanwhile;  // 30 ms after the pick
    } cases[] = {{"the hotkey", [&] { bar.hotkeyPressed(); }},
                 {"a digit", [&] { key('1'); }},
                 {"a letter past the rows",  // taken too, or it would type into the message
                  [&] { EXPECT_TRUE(hotkeys.registered.count(panelKeyHotkeyId('Q'))); }},
                 {"Enter", [&] { key(keys::kReturn); }}};
    // As the send key goes out only Enter is given back: a digit reaching the system in that
    // moment is still the bar's, and cannot land in the message ahead of the send key.
    bool onlyEnterFree = false;
    keys.onSend = [&](const std::wstring& sent) {
        if (sent == L"{Enter}")
            onlyEnterFree = hotkeys.registered.count(panelKeyHotkeyId('0')) &&
                            !hotkeys.registered.count(panelKeyHotkeyId(keys::kReturn));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clipboard.texts.clear(), keys.sent.clear();
        onlyEnterFree = false;
        openByKey();
        key('4');
        elapse(30);
        c.meanwhile();
        elapse(kClipboardQuietMs + kSendKeyDelayMs);
        EXPECT_EQ(clipboard.texts, Texts{L"reply 3"});
        EXPECT_EQ(keys.sent, (Texts{L"^v|wait", L"{Enter}"}));
        EXPECT_TRUE(onlyEnterFree);
        EXPECT_FALSE(bar.panelOpen() || bar.keyboardMode());
        EXPECT_TRUE(hotkeys.registered.empty());  // given back once the send key is out
    }
}

// A key the bar holds goes where the user meant it: to the window now in front, not as a pick;
// a key still down from before the mode picks nothing until it was let go; the number pad's
// digits pick as the digits do.
TEST_F(BarControllerTest, PanelKeysPickOnlyWhatTheUserMeant) {
    using Texts = std::vector<std::wstring>;
    const auto key = [&](std::uint16_t vk) { bar.panelKeyPressed(panelKeyHotkeyId(vk)); };
    openByKey();
    target.window = 0x9999;  // the user switched windows
    key('2');
    EXPECT_EQ(keys.tapped, std::vector<std::uint16_t>{'2'});
    EXPECT_FALSE(bar.keyboardMode() || bar.panelOpen());
    target.window = 0x1234;

    keys.down = {'3', 'R'};  // still held from the hotkey
    bar.hotkeyPressed('R');
    key('3');  // before the panel said it is on screen, too
    bar.hotkeyPressed('R');  // the hotkey repeating
    EXPECT_TRUE(bar.keyboardMode());
    EXPECT_TRUE(clipboard.texts.empty());
    keys.down.clear();
    bar.timerTick(TimerId::HeldKeyWatch);
    EXPECT_FALSE(timers.on.count(TimerId::HeldKeyWatch));
    key(0x62);  // Num 2
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts, Texts{L"reply 1"});
}

// The keys the panel shows are all the bar's: a digit without a row does nothing (and reaches no
// chat), a capital searches, and keys another program holds are named at the panel's top
// before it is first drawn.
TEST_F(BarControllerTest, EveryPanelKeyIsTheBarsAndOnesHeldElsewhereAreNamed) {
    const auto key = [&](std::uint16_t vk) { bar.panelKeyPressed(panelKeyHotkeyId(vk)); };
    hotkeys.taken.insert({keys::kModNoRepeat, '2'});
    bar.hotkeyPressed();  // the keys are taken here, before any paint
    EXPECT_TRUE(hotkeys.registered.count(panelKeyHotkeyId('9')));
    EXPECT_NE(bar.keysNotice().find(L"2"), std::wstring::npos);
    EXPECT_EQ(bar.tabStripPx(), kTabLineHeightPx);
    EXPECT_EQ(bar.rowKeyLabel(1), L"");
    EXPECT_EQ(bar.hitTest(bar.panelRect().left + 30, bar.panelRect().top + 5).kind, Target::Tab);
    key('8');  // six replies: no eighth row
    key(0x69);  // Num 9
    EXPECT_TRUE(bar.keyboardMode());
    EXPECT_TRUE(keys.tapped.empty() && clipboard.texts.empty());
    key(kShiftedLetter + 'R');
    EXPECT_EQ(bar.query(), L"r");
    key(keys::kEscape);
    key(keys::kEscape);
    EXPECT_FALSE(bar.panelOpen());
    EXPECT_EQ(bar.keysNotice(), L"");
}

// The press decides: the reply under it is the reply pasted, into the window in front at the
// press, whatever the row shows by the release; a window that changed gets nothing.
TEST_F(BarControllerTest, TheReplyPressedIsTheReplySent) {
    std::vector<ReplyGroup> before{{L"售后", {}}}, after{{L"新版", {}}};
    for (int i = 0; i < 3; ++i) setReplyText(before[0].rows.emplace_back(), L"旧第" + std::to_wstring(i) + L"行");
    for (int i = 0; i < 20; ++i) setReplyText(after[0].rows.emplace_back(), L"新第" + std::to_wstring(i) + L"行");
    bar.setTeamGroups(&before);
    click(button(BarButton::Reply));
    bar.showGroup(1);
    bar.mouseDown(text(2), L, 0, 0);
    bar.setTeamGroups(&after);  // a version that lands between press and release
    EXPECT_EQ(actions.idle, 0) << "the groups may not change while the panel is open";
    bar.mouseUp(text(2), L, 0, 0);
    EXPECT_EQ(actions.log, std::vector<std::wstring>{}) << "told once its keys are out";
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts, std::vector<std::wstring>{L"旧第2行"});
    EXPECT_EQ(keys.sent, (std::vector<std::wstring>{L"^v|wait", L"^{Enter}"}));
    EXPECT_EQ(actions.log, std::vector<std::wstring>{L"picked 售后|旧第2行"});
    EXPECT_GE(actions.idle, 1);

    keys.sent.clear();
    click(button(BarButton::Reply));
    bar.mouseDown(text(0), L, 0, 0);
    target.window = 0x7777;  // something else came to the front meanwhile
    bar.mouseUp(text(0), L, 0, 0);
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_TRUE(keys.sent.empty());
    EXPECT_EQ(messages.shown.size(), 1u);
}

// Wherever the pointer rests on the open panel, whatever it shows (the user's own replies, the
// group tabs, a search, groups in runs, keys held elsewhere), the pointer poll holds: it shows
// a group only for a group tab and closes nothing while the pointer is inside.
TEST_F(BarControllerTest, ThePointerCanRestAnywhereOnThePanel) {
    std::vector<ReplyGroup> few{{L"售前", {}}, {L"物流", {}}}, many;
    for (auto& g : few) setReplyText(g.rows.emplace_back(), L"pre");
    for (int i = 0; i < 120; ++i) {
        many.push_back({L"售前常见问题第" + std::to_wstring(i) + L"组", {}});
        setReplyText(many.back().rows.emplace_back(), L"q " + std::to_wstring(i));
    }
    const struct {
        const char* what;
        const std::vector<ReplyGroup>* team;
        bool byKey, search;
    } cases[] = {{"own replies", nullptr, false, false}, {"tabs", &few, false, false},
                 {"a search", &few, true, true},         {"many groups", &many, false, false},
                 {"keys held elsewhere", &many, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bar.setTeamGroups(c.team);
        hotkeys.taken = {{keys::kModNoRepeat, '4'}};
        if (c.byKey)
            bar.hotkeyPressed();
        else
            click(button(BarButton::Reply));
        if (c.search) bar.panelKeyPressed(panelKeyHotkeyId('P'));
        ASSERT_TRUE(bar.panelOpen());
        const PxRect p = bar.panelRect();
        for (int y = p.top; y <= p.bottom; y += 3)
            for (int x = p.left; x <= p.right; x += 5) {
                // Resting on a tab shows another group, and the panel follows its rows.
                const PxRect now = bar.panelRect();
                if (x < now.left || x > now.right || y < now.top || y > now.bottom) continue;
                const Target t = bar.hitTest(x, y);
                bar.mouseMove(t, x, y);
                window.cursor = {bar.windowRect().left + x, bar.windowRect().top + y};
                clock.now += 400;
                bar.timerTick(TimerId::PanelPointerPoll);
                if (!bar.panelOpen()) ADD_FAILURE() << "closed with the pointer at " << x << "," << y;
                if (!bar.panelOpen()) break;
            }
        if (bar.keyboardMode()) bar.endKeyboardMode(KeyboardModeEnd::ClickedElsewhere);
        if (bar.panelOpen()) bar.restoreBar();
    }
}

}  // namespace
}  // namespace replybar

namespace replybar {
namespace {

// A team library beside the user's six replies: "售前" of 3 and "物流" of 100, in pages of 41.
class TeamGroupsTest : public BarControllerTest {
protected:
    void SetUp() override {
        BarControllerTest::SetUp();
        team = {{L"售前", {}}, {L"物流", {}}};
        for (int i = 0; i < 3; ++i) setReplyText(team[0].rows.emplace_back(), L"pre " + std::to_wstring(i));
        for (int i = 0; i < 100; ++i) setReplyText(team[1].rows.emplace_back(), L"ship " + std::to_wstring(i));
        bar.setTeamGroups(&team);
    }
    // The window point in the middle of the tab captioned `caption`.
    Target tab(const std::wstring& caption, PxPoint* at = nullptr) {
        const auto& tabs = bar.tabs().tabs;
        for (std::size_t i = 0; i < tabs.size(); ++i) {
            if (tabs[i].caption != caption) continue;
            const PxRect p = bar.panelRect();
            const PxPoint mid{p.left + (tabs[i].rect.left + tabs[i].rect.right) / 2,
                              p.top + (tabs[i].rect.top + tabs[i].rect.bottom) / 2};
            if (at) *at = mid;
            return bar.hitTest(mid.x, mid.y);
        }
        return {};
    }
    std::vector<ReplyGroup> team;
};

TEST_F(TeamGroupsTest, TabsPagesAndKeysShowEveryReplyAndPickItExactly) {
    click(button(BarButton::Reply));
    ASSERT_TRUE(bar.hasTabs());
    EXPECT_EQ(bar.tabStripPx(), kTabLineHeightPx);
    EXPECT_EQ(tab(L"我的").kind, Target::Tab);
    EXPECT_EQ(bar.rowCount(), 6);

    click(tab(L"售前"));
    EXPECT_EQ(bar.rowCount(), 3);
    click(text(1));
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts.back(), L"pre 1");
    click(button(BarButton::Reply));
    EXPECT_EQ(bar.shownGroup(), 1) << "the panel remembers the group shown last";

    // 100 replies: pages of 41, 41 and 18, each reached by the page buttons, round the ends.
    click(tab(L"物流"));
    const struct {
        const wchar_t* button;
        int page, rows;
        const wchar_t* first;
    } pages[] = {{L"›", 1, 41, L"ship 41"}, {L"›", 2, 18, L"ship 82"}, {L"›", 0, 41, L"ship 0"},
                 {L"‹", 2, 18, L"ship 82"}};
    for (const auto& p : pages) {
        click(tab(p.button));
        EXPECT_EQ(bar.shownPage(), p.page);
        EXPECT_EQ(bar.rowCount(), p.rows);
        EXPECT_EQ(bar.shownReply(0)->fullText, p.first);
        EXPECT_EQ(bar.shownReply(p.rows), nullptr);
    }
    click(text(17));
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts.back(), L"ship 99");

    // By key: Right and Tab go on round the groups, Left and Shift+Tab back; the row keys pick
    // in the group shown.
    openByKey();
    EXPECT_TRUE(hotkeys.registered.count(panelKeyHotkeyId(keys::kLeft)));
    const struct {
        std::uint16_t key;
        int group;
    } moves[] = {{keys::kRight, 0}, {keys::kTab, 1}, {keys::kShiftTab, 0}, {keys::kLeft, 2}};
    for (const auto& m : moves) {
        bar.panelKeyPressed(panelKeyHotkeyId(m.key));
        EXPECT_EQ(bar.shownGroup(), m.group) << m.key;
    }
    bar.panelKeyPressed(panelKeyHotkeyId(keys::kPageDown));
    bar.panelKeyPressed(panelKeyHotkeyId('3'));
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts.back(), L"ship 43");
    EXPECT_TRUE(hotkeys.registered.empty());
}

TEST_F(TeamGroupsTest, ATeamReplyIsReadOnlyAndARightClickOffersToCopyIt) {
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        messages.answer = answer;
        click(button(BarButton::Reply));
        click(tab(L"售前"));
        click(text(2), R);
        EXPECT_FALSE(bar.panelOpen());
    }
    EXPECT_EQ(actions.log, std::vector<std::wstring>{L"add pre 2"});
    // A copy keeps its icon.
    team[0].rows[1].icon = 5;
    click(button(BarButton::Reply));
    click(tab(L"售前"));
    click(text(1), R);
    EXPECT_EQ(actions.log.back(), L"add pre 1 icon 5");
    actions.log.clear();
    EXPECT_TRUE(clipboard.texts.empty());

    // The pointer resting on a tab shows its group; the library gone, the user's own are back.
    click(button(BarButton::Reply));
    PxPoint at;
    const Target mine = tab(L"我的", &at);
    bar.mouseMove(mine, at.x, at.y);
    window.cursor = {bar.windowRect().left + at.x, bar.windowRect().top + at.y};
    clock.now += 400;
    bar.timerTick(TimerId::PanelPointerPoll);
    EXPECT_EQ(bar.shownGroup(), 0);
    click(tab(L"售前"));
    const std::vector<ReplyGroup> none;
    bar.setTeamGroups(&none);
    EXPECT_FALSE(bar.hasTabs());
    EXPECT_EQ(bar.shownGroup(), 0);
    EXPECT_EQ(bar.rowCount(), 6);
}

// Letters type a search over every group; digits pick among its results, best first (the most
// recently picked first among equals); Backspace takes a letter back, Esc clears, Esc again
// closes.
TEST_F(TeamGroupsTest, LettersSearchEveryGroupAndDigitsPickTheResults) {
    testing::MemoryFiles files;
    PickHistory history(files, L"history.txt");
    history.picked(L"售前", L"pre 2", 100);
    bar.setHistory(&history);
    const auto key = [&](std::uint16_t vk) { bar.panelKeyPressed(panelKeyHotkeyId(vk)); };
    openByKey();
    for (const std::uint16_t vk : {'P', 'R', 'E'}) key(vk);
    ASSERT_TRUE(bar.searching());
    EXPECT_EQ(bar.query(), L"pre");
    EXPECT_EQ(bar.tabStripPx(), kTabLineHeightPx);
    const struct {
        std::uint16_t vk;
        std::wstring query;
        std::vector<std::wstring> firstRows;
    } steps[] = {
        {'X', L"prex", {}},
        {keys::kBack, L"pre", {L"pre 2", L"pre 0", L"pre 1"}},
        {keys::kLeft, L"pre", {L"pre 2", L"pre 0", L"pre 1"}},  // no groups while searching
        {keys::kEscape, L"", {L"reply 0", L"reply 1", L"reply 2"}},  // the group shown again
    };
    for (const auto& s : steps) {
        key(s.vk);
        EXPECT_EQ(bar.query(), s.query) << s.vk;
        std::vector<std::wstring> rows;
        for (int r = 0; r < std::min(bar.rowCount(), 3); ++r) rows.push_back(bar.shownReply(r)->fullText);
        EXPECT_EQ(rows, s.firstRows) << s.vk;
        EXPECT_TRUE(bar.panelOpen());
    }
    key(keys::kEscape);
    EXPECT_FALSE(bar.panelOpen());

    openByKey();
    for (const std::uint16_t vk : {'S', 'H', 'I', 'P'}) key(vk);
    EXPECT_EQ(bar.rowCount(), kReplyRows);  // 100 match; the panel shows the first 41
    key('2');
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts.back(), L"ship 1");
    EXPECT_EQ(actions.log.back(), L"picked 物流|ship 1");
    EXPECT_TRUE(hotkeys.registered.empty());
    click(button(BarButton::Reply));
    EXPECT_FALSE(bar.searching()) << "the search ends with the panel";
}

}  // namespace
}  // namespace replybar
