#include "bar_fixture.h"

#include <functional>

namespace replybar::testing {
namespace {

// Keyboard mode from the bar's side: the hotkey opens the panel with row 1 under the band, a
// key picks exactly as a click does, and every way the mode ends closes what it should and
// leaves none of the panel's keys registered.
TEST_F(BarControllerTest, KeyboardModeOpensPicksAndAlwaysGivesItsKeysBack) {
    const int idOf2 = panelKeyHotkeyId('2'), idOfDown = panelKeyHotkeyId(keys::kDown);
    const int idOfEnter = panelKeyHotkeyId(keys::kReturn);
    const int idOfEsc = panelKeyHotkeyId(keys::kEscape);
    openByKey();
    ASSERT_TRUE(bar.panelOpen() && bar.keyboardMode());
    ASSERT_TRUE(bar.panel().bandRect());
    const int firstRowTop = bar.panel().bandRect()->top;
    EXPECT_EQ(bar.panel().rowKeyLabel(0), L"1");
    EXPECT_EQ(bar.panel().rowKeyLabel(5), L"6");
    EXPECT_EQ(bar.panel().rowKeyLabel(6), L"");  // six replies: no seventh key
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
    EXPECT_GT(bar.panel().bandRect()->top, firstRowTop);  // the band follows the highlight
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
         [&] {
             target.window += 1;
             bar.endKeyboardMode(KeyboardModeEnd::ForegroundChanged);
         },
         false},
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
        EXPECT_EQ(bar.panel().rowKeyLabel(0), L"");
        EXPECT_EQ(clipboard.texts.size(), picks) << "nothing picked";
        if (bar.panelOpen()) bar.restoreBar();
    }
    // A late notice of the switch to the window the mode opened over ends nothing.
    openByKey();
    bar.endKeyboardMode(KeyboardModeEnd::ForegroundChanged);
    EXPECT_TRUE(bar.keyboardMode());
    bar.restoreBar();

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
    EXPECT_NE(bar.panel().keysNotice().find(L"2"), std::wstring::npos);
    EXPECT_EQ(bar.panel().tabStripPx(), kTabLineHeightPx);
    EXPECT_EQ(bar.panel().rowKeyLabel(1), L"");
    EXPECT_EQ(bar.hitTest(bar.panel().panelRect().left + 30, bar.panel().panelRect().top + 5).kind, Target::Tab);
    key('8');  // six replies: no eighth row
    key(0x69);  // Num 9
    EXPECT_TRUE(bar.keyboardMode());
    EXPECT_TRUE(keys.tapped.empty() && clipboard.texts.empty());
    key(kShiftedLetter + 'R');
    EXPECT_EQ(bar.panel().query(), L"r");
    key(keys::kEscape);
    key(keys::kEscape);
    EXPECT_FALSE(bar.panelOpen());
    EXPECT_EQ(bar.panel().keysNotice(), L"");
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
        bar.panel().setTeamGroups(c.team ? borrowed(*c.team) : nullptr);
        hotkeys.taken = {{keys::kModNoRepeat, '4'}};
        if (c.byKey)
            bar.hotkeyPressed();
        else
            click(button(BarButton::Reply));
        if (c.search) bar.panelKeyPressed(panelKeyHotkeyId('P'));
        ASSERT_TRUE(bar.panelOpen());
        const PxRect p = bar.panel().panelRect();
        for (int y = p.top; y <= p.bottom; y += 3)
            for (int x = p.left; x <= p.right; x += 5) {
                // Resting on a tab shows another group, and the panel follows its rows.
                const PxRect now = bar.panel().panelRect();
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


// A team library beside the user's six replies: "售前" of 3 and "物流" of 100, in pages of 41.
class TeamGroupsTest : public BarControllerTest {
protected:
    void SetUp() override {
        BarControllerTest::SetUp();
        team = {{L"售前", {}}, {L"物流", {}}};
        for (int i = 0; i < 3; ++i) setReplyText(team[0].rows.emplace_back(), L"pre " + std::to_wstring(i));
        for (int i = 0; i < 100; ++i) setReplyText(team[1].rows.emplace_back(), L"ship " + std::to_wstring(i));
        bar.panel().setTeamGroups(borrowed(team));
    }
    // The window point in the middle of the tab captioned `caption`.
    Target tab(const std::wstring& caption, PxPoint* at = nullptr) {
        const auto& tabs = bar.panel().tabs().tabs;
        for (std::size_t i = 0; i < tabs.size(); ++i) {
            if (tabs[i].caption != caption) continue;
            const PxRect p = bar.panel().panelRect();
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
    ASSERT_TRUE(bar.panel().hasTabs());
    EXPECT_EQ(bar.panel().tabStripPx(), kTabLineHeightPx);
    EXPECT_EQ(tab(L"我的").kind, Target::Tab);
    EXPECT_EQ(bar.panel().rowCount(), 6);

    click(tab(L"售前"));
    EXPECT_EQ(bar.panel().rowCount(), 3);
    click(text(1));
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts.back(), L"pre 1");
    click(button(BarButton::Reply));
    EXPECT_EQ(bar.panel().shownGroup(), 1) << "the panel remembers the group shown last";

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
        EXPECT_EQ(bar.panel().shownPage(), p.page);
        EXPECT_EQ(bar.panel().rowCount(), p.rows);
        EXPECT_EQ(bar.panel().shownReply(0)->fullText, p.first);
        EXPECT_EQ(bar.panel().shownReply(p.rows), nullptr);
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
        EXPECT_EQ(bar.panel().shownGroup(), m.group) << m.key;
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
    EXPECT_EQ(bar.panel().shownGroup(), 0);
    click(tab(L"售前"));
    const std::vector<ReplyGroup> none;
    bar.panel().setTeamGroups(borrowed(none));
    EXPECT_FALSE(bar.panel().hasTabs());
    EXPECT_EQ(bar.panel().shownGroup(), 0);
    EXPECT_EQ(bar.panel().rowCount(), 6);
}

// Letters type a search over every group; digits pick among its results, best first (the most
// recently picked first among equals); Backspace takes a letter back, Esc clears, Esc again
// closes.
TEST_F(TeamGroupsTest, LettersSearchEveryGroupAndDigitsPickTheResults) {
    testing::MemoryFiles files;
    PickHistory history(files, L"history.txt");
    history.picked(L"售前", L"pre 2", 100);
    bar.panel().setHistory(&history);
    const auto key = [&](std::uint16_t vk) { bar.panelKeyPressed(panelKeyHotkeyId(vk)); };
    openByKey();
    for (const std::uint16_t vk : {'P', 'R', 'E'}) key(vk);
    ASSERT_TRUE(bar.panel().searching());
    EXPECT_EQ(bar.panel().query(), L"pre");
    EXPECT_EQ(bar.panel().tabStripPx(), kTabLineHeightPx);
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
        EXPECT_EQ(bar.panel().query(), s.query) << s.vk;
        std::vector<std::wstring> rows;
        for (int r = 0; r < std::min(bar.panel().rowCount(), 3); ++r) rows.push_back(bar.panel().shownReply(r)->fullText);
        EXPECT_EQ(rows, s.firstRows) << s.vk;
        EXPECT_TRUE(bar.panelOpen());
    }
    key(keys::kEscape);
    EXPECT_FALSE(bar.panelOpen());

    openByKey();
    for (const std::uint16_t vk : {'S', 'H', 'I', 'P'}) key(vk);
    EXPECT_EQ(bar.panel().rowCount(), kReplyRows);  // 100 match; the panel shows the first 41
    key('2');
    elapse(kClipboardQuietMs + kSendKeyDelayMs);
    EXPECT_EQ(clipboard.texts.back(), L"ship 1");
    EXPECT_EQ(actions.log.back(), L"picked 物流|ship 1");
    EXPECT_TRUE(hotkeys.registered.empty());
    click(button(BarButton::Reply));
    EXPECT_FALSE(bar.panel().searching()) << "the search ends with the panel";
}


}  // namespace
}  // namespace replybar::testing
