#include "reply/keyboard_panel.h"

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
        {'1', 5, {A::PickRow, 0}, L"1"},
        {'9', 12, {A::PickRow, 8}, L"9"},
        {'0', 12, {A::PickRow, 9}, L"0"},
        {'A', 12, {A::Letter, 'a'}, L""},  // letters type the search
        {'Z', 41, {A::Letter, 'z'}, L""},
        {0x08, 3, {A::Backspace}, L""},
        {'6', 5, {}, L""},    // past the replies
        {0x61, 41, {A::PickRow, 0}, L"1"},  // Num 1, as the digit
        {0x60, 12, {A::PickRow, 9}, L"0"},
        {0x6A, 41, {}, L""},  // Num *
        {kUp, 3, {A::Move, -1, M::Up}, L""},
        {kDown, 0, {A::Move, -1, M::Down}, L""},
        {kHome, 3, {A::Move, -1, M::First}, L""},
        {kEnd, 3, {A::Move, -1, M::Last}, L""},
        {kEnter, 3, {A::PickHighlighted}, L""},
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

// Only the keys that mean something with this many replies are taken; all but Up and Down act
// once when held.
TEST(KeyboardPanelKeys, TheKeysTakenFollowTheReplyCount) {
    for (const int count : {0, 1, 10, 11, 36, 41}) {
        std::set<std::uint16_t> keys;
        for (const PanelKey& k : panelKeys(count)) {
            keys.insert(k.virtualKey);
            const bool repeats = k.virtualKey == kUp || k.virtualKey == kDown || k.virtualKey == 0x08;
            EXPECT_EQ(k.modifiers, repeats ? 0u : keys::kModNoRepeat) << k.virtualKey;
        }
        // Every letter and Backspace whatever the rows: the search's.
        std::set<std::uint16_t> expected{kEsc, kEnter, kUp, kDown, kHome, kEnd, 'A', 'Q', 'Z', 0x08};
        for (const int vk : {int{'0'}, int{'1'}, int{'9'}, 0x60, 0x61, 0x69})
            if (*rowOfKey(static_cast<std::uint16_t>(vk)) < count) expected.insert(static_cast<std::uint16_t>(vk));
        for (std::uint16_t vk : keys)
            EXPECT_TRUE(expected.count(vk) || (vk >= 'A' && vk <= 'Z') || *rowOfKey(vk) < count) << vk;
        for (std::uint16_t vk : expected) EXPECT_TRUE(keys.count(vk)) << vk << " of " << count;
        EXPECT_EQ(keys.size(), 6u + 2 * std::min(count, kKeyedRows) + 26 + 1);
    }
}

int id(std::uint16_t vk) { return panelKeyHotkeyId(vk); }

// However keyboard mode ends, every key it took is given back, and nothing else was taken.
TEST(KeyboardPanelMode, EveryEndingGivesBackEveryKeyItTook) {
    using R = KeyboardPanel::Result;
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
             EXPECT_EQ(p.keyPressed(id(kUp)), R{R::Moved});
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
        EXPECT_EQ(ids.size(), 6u + 10u - 1u + 10u + 26u + 1u);
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
        EXPECT_EQ(hotkeys.registered.size(), 6u + 2u + 2u + 26u + 1u);  // and the search's
        EXPECT_EQ(panel.keyPressed(id('3')), KeyboardPanel::Result{});
        EXPECT_EQ(panel.keyPressed(id(kEnd)).kind, KeyboardPanel::Result::Moved);
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
