#include "panel/keyboard_panel.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes.h"
#include "core/key_settings.h"

namespace replybar {
namespace {

using A = PanelKeyAction;
using M = HighlightMove;
constexpr std::uint16_t kEsc = 0x1B, kEnter = 0x0D, kUp = 0x26, kDown = 0x28, kHome = 0x24,
                        kEnd = 0x23;

TEST(KeyboardPanelKeys, RowKeysLabelsAndWhatEachKeyDoes) {
    const struct {
        std::uint16_t vk;
        int replyCount;
        PanelKeyAction action;
        std::wstring label;  // of the row the key names, if any
    } cases[] = {
        {'1', 5, {A::Pick, 0}, L"1"},
        {'9', 12, {A::Pick, 8}, L"9"},
        {'0', 12, {A::Pick, 9}, L"0"},
        {'A', 12, {A::Letter, 'a'}, L""},  // letters type the search
        {'Z', 41, {A::Letter, 'z'}, L""},
        {kShiftedLetter + 'Q', 3, {A::Letter, 'q'}, L""},  // a capital searches as well
        {0x08, 3, {A::Backspace}, L""},
        {'6', 5, {}, L""},    // past the replies
        {0x61, 41, {A::Pick, 0}, L"1"},  // Num 1, as the digit
        {0x60, 12, {A::Pick, 9}, L"0"},
        {0x6A, 41, {}, L""},  // Num *
        {kUp, 3, {A::Move, -1, M::Up}, L""},
        {kDown, 0, {A::Move, -1, M::Down}, L""},
        {kHome, 3, {A::Move, -1, M::First}, L""},
        {kEnd, 3, {A::Move, -1, M::Last}, L""},
        {kEnter, 3, {A::Pick, -1}, L""},
        {kEsc, 0, {A::Close}, L""},
        {0x20, 3, {}, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(actionOfKey(c.vk, c.replyCount), c.action) << c.vk;
        if (const auto row = rowOfKey(c.vk)) {
            EXPECT_EQ(rowKeyLabel(*row, c.replyCount), c.label);
        }
    }
    EXPECT_EQ(rowKeyLabel(9, 41), L"0");
    EXPECT_EQ(rowKeyLabel(10, 41), L"");  // rows 11 to 41 have no key
}

TEST(KeyboardPanelKeys, HighlightMovesGoRoundTheEnds) {
    const struct {
        int from;
        HighlightMove move;
        int replyCount, to;
    } cases[] = {
        {0, M::Down, 3, 1},   {2, M::Down, 3, 0},   {0, M::Up, 3, 2},     {1, M::Up, 3, 0},
        {0, M::Down, 1, 0},   {0, M::Up, 1, 0},     {5, M::First, 41, 0}, {5, M::Last, 41, 40},
        {40, M::Down, 41, 0}, {-1, M::Down, 0, -1}, {-1, M::Last, 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(movedHighlight(c.from, c.move, c.replyCount), c.to)
            << c.from << " " << static_cast<int>(c.move) << " of " << c.replyCount;
}

// Every digit and letter is the bar's whatever the rows, a digit that no row answers too: one
// that went on would join the next message. All but Up, Down and Backspace act once when held.
TEST(KeyboardPanelKeys, EveryDigitAndLetterIsTakenWhateverTheRows) {
    const struct {
        bool groupKeys, searchKeys;
        std::size_t count;
    } cases[] = {{false, true, 6 + 20 + 52 + 1}, {true, true, 6 + 20 + 52 + 1 + 6},
                 {false, false, 6 + 20}};
    for (const auto& c : cases) {
        std::set<std::uint16_t> ids;
        for (const PanelKey& k : panelKeys(c.groupKeys, c.searchKeys)) {
            ids.insert(k.id());
            const std::uint16_t vk = k.virtualKey;
            const bool once = vk == kEsc || vk == kEnter || vk == kHome || vk == kEnd ||
                              rowOfKey(vk) || (vk >= 'A' && vk <= 'Z');
            if (k.id() > kShiftedLetter)
                EXPECT_EQ(k.modifiers, keys::kModShift | keys::kModNoRepeat) << k.id();
            else if (once)
                EXPECT_EQ(k.modifiers, keys::kModNoRepeat) << vk;
        }
        EXPECT_EQ(ids.size(), c.count);
        for (const int vk : {0x30, 0x35, 0x39, 0x60, 0x65, 0x69}) EXPECT_TRUE(ids.count(vk)) << vk;
        EXPECT_EQ(ids.count(kShiftedLetter + 'Z'), c.searchKeys ? 1u : 0u);
    }
}

// A key another program holds is named; without every letter (with or without Shift) the
// letters and Backspace are all given back and the panel offers no search.
TEST(KeyboardPanelKeys, KeysHeldElsewhereAreNamedAndTheSearchNeedsEveryLetter) {
    const struct {
        unsigned modifiers;
        std::uint16_t vk;
        std::wstring name;
        bool search;
    } cases[] = {{keys::kModNoRepeat, '5', L"5", true},
                 {keys::kModNoRepeat, 0x63, L"小键盘 3", true},
                 {keys::kModNoRepeat, 'Q', L"Q", false},
                 {keys::kModShift | keys::kModNoRepeat, 'Q', L"Shift+Q", false},
                 {0, 0x08, L"Backspace", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vk);
        testing::FakeHotkeys hotkeys;
        hotkeys.taken.insert({c.modifiers, c.vk});
        KeyboardPanel panel(hotkeys);
        ASSERT_TRUE(panel.open(12, 0, 0));
        ASSERT_EQ(panel.refusedKeys().size(), 1u);
        EXPECT_EQ(panelKeyName(panel.refusedKeys()[0]), c.name);
        EXPECT_EQ(panel.searchOffered(), c.search);
        EXPECT_EQ(hotkeys.registered.count(panelKeyHotkeyId('A')), c.search ? 1u : 0u);
        EXPECT_EQ(hotkeys.registered.count(panelKeyHotkeyId(kShiftedLetter + 'A')), c.search ? 1u : 0u);
        EXPECT_TRUE(hotkeys.registered.count(panelKeyHotkeyId('7')));  // the digits stay the bar's
        panel.startPick();  // while a pick goes out even without a search the letters are taken
        EXPECT_TRUE(hotkeys.registered.count(panelKeyHotkeyId('A')));
        panel.end(KeyboardModeEnd::Picked);
        EXPECT_TRUE(hotkeys.registered.empty());
    }
}

int id(std::uint16_t vk) { return panelKeyHotkeyId(vk); }

// However keyboard mode ends, every key it took is given back, and nothing else was taken.
TEST(KeyboardPanelMode, EveryEndingGivesBackEveryKeyItTook) {
    using R = PanelKeyAction;
    using E = KeyboardModeEnd;
    const struct {
        const char* what;
        std::function<R(KeyboardPanel&)> ending;
        KeyboardModeEnd why;
        R result;
    } cases[] = {
        {"a row key, then the pick's end",
         [](KeyboardPanel& p) {
             const R r = p.keyPressed(id('0'));
             EXPECT_TRUE(p.active()) << "on until the paste is out";
             p.end(E::Picked);
             return r;
         },
         E::Picked,
         {R::Pick, 9}},
        {"Enter after Up, then the pick's end",
         [](KeyboardPanel& p) {
             EXPECT_EQ(p.keyPressed(id(kUp)), (R{R::Move, -1, HighlightMove::Up}));
             const R r = p.keyPressed(id(kEnter));
             p.end(E::Picked);
             return r;
         },
         E::Picked,
         {R::Pick, 19}},
        {"Esc", [](KeyboardPanel& p) { return p.keyPressed(id(kEsc)); }, E::Escaped, {R::Close}},
        {"the pointer moving",
         [](KeyboardPanel& p) {
             EXPECT_FALSE(p.pointerMoved(300, 200));  // shown under a resting pointer
             EXPECT_TRUE(p.pointerMoved(301, 200));
             return R{};
         },
         E::MouseTookOver,
         {}},
        {"the hotkey",
         [](KeyboardPanel& p) { return p.end(E::HotkeyAgain), R{}; },
         E::HotkeyAgain,
         {}},
        {"a click elsewhere",
         [](KeyboardPanel& p) { return p.end(E::ClickedElsewhere), R{}; },
         E::ClickedElsewhere,
         {}},
        {"the foreground",
         [](KeyboardPanel& p) { return p.end(E::ForegroundChanged), R{}; },
         E::ForegroundChanged,
         {}},
        {"a lock",
         [](KeyboardPanel& p) { return p.end(E::SessionEnded), R{}; },
         E::SessionEnded,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::FakeHotkeys hotkeys;
        hotkeys.taken.insert({keys::kModNoRepeat, '3'});  // someone else's: not ours to give back
        KeyboardPanel panel(hotkeys);
        ASSERT_TRUE(panel.open(20, 300, 200));
        EXPECT_EQ(panel.highlight(), 0);
        EXPECT_EQ(panel.label(0), L"1");
        EXPECT_EQ(panel.label(2), L"");  // its key is not ours
        EXPECT_EQ(panel.label(3), L"4");
        EXPECT_EQ(panel.label(10), L"");
        std::set<int> ids;
        for (const auto& [taken, combination] : hotkeys.registered) ids.insert(taken);
        EXPECT_EQ(ids.size(), 6u + 10u - 1u + 10u + 52u + 1u);
        EXPECT_EQ(c.ending(panel), c.result);
        EXPECT_TRUE(hotkeys.registered.empty());
        EXPECT_EQ(std::set<int>(hotkeys.unregistered.begin(), hotkeys.unregistered.end()), ids);
        EXPECT_EQ(hotkeys.unregistered.size(), ids.size());
        EXPECT_FALSE(panel.active());
        EXPECT_EQ(panel.lastEnd(), c.why);
        EXPECT_EQ(panel.highlight(), std::nullopt);
        EXPECT_EQ(panel.label(0), L"");
        // A key still queued after the end does nothing.
        EXPECT_EQ(panel.keyPressed(id('1')), R{});
    }
}

TEST(KeyboardPanelMode, NoModeWithoutEscAndEnterAndNothingLeftAfterTheBar) {
    for (std::uint16_t missing : {kEsc, kEnter}) {
        testing::FakeHotkeys hotkeys;
        hotkeys.taken.insert({keys::kModNoRepeat, missing});
        KeyboardPanel panel(hotkeys);
        EXPECT_FALSE(panel.open(5, 0, 0));
        EXPECT_FALSE(panel.active());
        EXPECT_TRUE(hotkeys.registered.empty());
    }
    testing::FakeHotkeys hotkeys;
    {
        KeyboardPanel panel(hotkeys);
        ASSERT_TRUE(panel.open(3, 0, 0));
        ASSERT_TRUE(panel.open(2, 0, 0));  // opened again: one set of keys, for two rows
        EXPECT_EQ(hotkeys.registered.size(), 6u + 20u + 52u + 1u);  // every digit, the search's
        EXPECT_EQ(panel.keyPressed(id('3')), PanelKeyAction{});  // taken, and nothing
        EXPECT_EQ(panel.keyPressed(id(kEnd)).kind, PanelKeyAction::Move);
        EXPECT_EQ(panel.highlight(), 1);
    }
    EXPECT_TRUE(hotkeys.registered.empty());
}

// A click ends keyboard mode unless it went to the bar, and that is told in the bar's own
// coordinates. At 125 % and more a low-level hook's point is physical while a DPI-unaware
// bar's rectangle is logical: a click on the chat can land inside the bar's rectangle by the
// hook's numbers, and one on the panel outside it.
TEST(KeyboardPanelClicks, WhereAClickWentIsToldInTheBarsOwnCoordinates) {
    const int left = 900, top = 500, right = 1003, bottom = 700;  // the bar with its panel
    const struct {
        double scale;
        int logicalX, logicalY;
        std::optional<bool> underIsBar;
        bool toBar;
    } cases[] = {
        {1.0, 950, 600, std::nullopt, true},   {1.0, 300, 200, std::nullopt, false},
        {1.25, 760, 440, std::nullopt, false},  // the chat: 950,550 physical, in the bar's box
        {1.25, 990, 690, std::nullopt, true},   // the panel: 1237,862 physical, outside it
        {1.5, 610, 380, false, false},          {2.0, 1000, 650, true, true},
        {1.0, 950, 600, false, false},          // a cut-away corner: the window below has it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        const int physicalX = static_cast<int>(c.logicalX * c.scale);
        const int physicalY = static_cast<int>(c.logicalY * c.scale);
        EXPECT_EQ(clickWentToBar(c.underIsBar, c.logicalX, c.logicalY, left, top, right, bottom),
                  c.toBar);
        if (c.scale > 1 && !c.underIsBar) {  // what the raw point would have said
            EXPECT_NE(clickWentToBar(std::nullopt, physicalX, physicalY, left, top, right, bottom),
                      c.toBar);
        }
    }
}

}  // namespace
}  // namespace replybar
