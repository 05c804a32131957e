#include "bar_fixture.h"

#include <functional>

namespace replybar::testing {
namespace {

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
    EXPECT_FALSE(bar.panel().bandRect());  // parked out of sight
    EXPECT_EQ(bar.panel().rowCount(), 6);

    bar.restoreBar();
    EXPECT_EQ(bar.windowRect(), kBar);
    EXPECT_EQ(bar.faceOrigin(), (PxPoint{0, 0}));
    EXPECT_FALSE(timers.on.count(TimerId::PanelPointerPoll));
}

TEST_F(BarControllerTest, ReplyButtonClickOnAnOpenPanelReopensItFresh) {
    click(button(BarButton::Reply));
    bar.mouseMove(text(1), 0, 0);
    ASSERT_TRUE(bar.panel().bandRect());
    bar.mouseDown(button(BarButton::Reply), L, 0, 0);
    EXPECT_FALSE(bar.panelOpen());
    bar.mouseUp(button(BarButton::Reply), L, 0, 0);
    EXPECT_TRUE(bar.panelOpen());
    EXPECT_FALSE(bar.panel().bandRect());
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
        EXPECT_EQ(bar.panel().bandRect()->top, 94);  // (1425 - 20) / 15, to the nearest pixel
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
    EXPECT_EQ(bar.panel().bandRect()->top, (570 - 20 + 7) / 15);  // in the panel
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
    bar.panel().setOwnSize(panelSizeFor(41));
    click(button(BarButton::Reply));
    EXPECT_EQ(bar.panel().rowsPerColumn(), 21);
    EXPECT_EQ(bar.hitTest((5805 + 400) / 15, 29 + 1200 / 15), text(25));  // column 2, 5th row
    window.cursor = {600, 300};  // inside the wide window, right of the bar face
    bar.timerTick(TimerId::PanelPointerPoll);
    bar.timerTick(TimerId::PanelPointerPoll);
    EXPECT_TRUE(bar.panelOpen());
}

// The press decides: the reply under it is the reply pasted, into the window in front at the
// press, whatever the row shows by the release; a window that changed gets nothing.
TEST_F(BarControllerTest, TheReplyPressedIsTheReplySent) {
    std::vector<ReplyGroup> before{{L"售后", {}}}, after{{L"新版", {}}};
    for (int i = 0; i < 3; ++i) setReplyText(before[0].rows.emplace_back(), L"旧第" + std::to_wstring(i) + L"行");
    for (int i = 0; i < 20; ++i) setReplyText(after[0].rows.emplace_back(), L"新第" + std::to_wstring(i) + L"行");
    bar.panel().setTeamGroups(borrowed(before));
    click(button(BarButton::Reply));
    bar.panel().showGroup(1);
    bar.mouseDown(text(2), L, 0, 0);
    bar.panel().setTeamGroups(borrowed(after));  // a version that lands between press and release
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

// A reply with blanks picked by key: the box opens with the panel closed and its keys given
// back, the paste goes to the window in front at the choice, the history hears of the reply as
// written; the next time the answers are offered again, and Esc sends and tells nothing.
TEST_F(BarControllerTest, TheBoxForBlanksOpensWithTheKeysGivenBack) {
    replies.rows[1].fullText = L"{填写:姓名}您好";
    target.window = 0x5150;
    blanks.answers = std::vector<std::wstring>{L"张先生"};
    bool keysFreeAtBox = false;
    blanks.onAsk = [&] { keysFreeAtBox = hotkeys.registered.empty() && !bar.panelOpen(); };
    openByKey();
    bar.panelKeyPressed(panelKeyHotkeyId('2'));
    EXPECT_TRUE(keysFreeAtBox);
    ASSERT_EQ(blanks.asked.size(), 1u);
    EXPECT_EQ(blanks.asked[0].chat, 0x5150u);
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts.back(), L"张先生您好");
    EXPECT_EQ(actions.log.back(), L"picked |{填写:姓名}您好");

    blanks.answers.reset();  // Esc: nothing sent, nothing told to the history
    keys.sent.clear();
    const std::size_t logged = actions.log.size();
    openByKey();
    bar.panelKeyPressed(panelKeyHotkeyId('2'));
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(blanks.asked.back().offered, std::vector<std::wstring>{L"张先生"});
    EXPECT_TRUE(keys.sent.empty());
    EXPECT_EQ(actions.log.size(), logged);
    EXPECT_TRUE(hotkeys.registered.empty() && !bar.picking());
}

}  // namespace
}  // namespace replybar::testing
