#include "core/keystrokes.h"

#include <gtest/gtest.h>

namespace replybar::keys {
namespace {

using E = KeyEvent;

// Every held modifier is let go while another key is down, so its release is no lone tap (menu
// bar, Start menu, input method), and none is pressed again, so the user's own release of it
// later is none either. Shift goes behind the mask key before our Ctrl is down: with Ctrl it
// would be the layout switch.
TEST(Keystrokes, HeldModifiersAreReleasedAndNeverPressedAgain) {
    const E ctrlDown{kLControl, false}, ctrlUp{kLControl, true};
    const E maskDown{kMaskKey, false}, maskUp{kMaskKey, true};
    const E vDown{kV, false}, vUp{kV, true};
    const struct {
        const char* what;
        Chord chord;
        std::vector<std::uint16_t> held;
        std::vector<KeyEvent> plan;
    } cases[] = {
        {"nothing held", Chord::Paste, {}, {ctrlDown, vDown, vUp, ctrlUp}},
        {"Shift",
         Chord::Paste,
         {kLShift},
         {maskDown, {kLShift, true}, maskUp, ctrlDown, vDown, vUp, ctrlUp}},
        {"both Shifts",
         Chord::Paste,
         {kLShift, kRShift},
         {maskDown, {kLShift, true}, {kRShift, true}, maskUp, ctrlDown, vDown, vUp, ctrlUp}},
        {"Shift and Alt",
         Chord::Paste,
         {kRShift, kLMenu},
         {maskDown, {kRShift, true}, maskUp, ctrlDown, {kLMenu, true}, vDown, vUp, ctrlUp}},
        {"Shift and Ctrl",
         Chord::Paste,
         {kLShift, kLControl},
         {maskDown, {kLShift, true}, maskUp, ctrlDown, vDown, vUp, ctrlUp}},
        {"Shift and Win, Ctrl+Enter",
         Chord::CtrlEnter,
         {kLShift, kLWin},
         {maskDown,
          {kLShift, true},
          maskUp,
          ctrlDown,
          {kLWin, true},
          {kReturn, false},
          {kReturn, true},
          ctrlUp}},
        {"Alt and Win",
         Chord::CtrlEnter,
         {kLMenu, kRWin},
         {ctrlDown, {kLMenu, true}, {kRWin, true}, {kReturn, false}, {kReturn, true}, ctrlUp}},
        {"left Ctrl", Chord::Paste, {kLControl}, {ctrlDown, vDown, vUp, ctrlUp}},
        {"right Ctrl", Chord::Paste, {kRControl}, {ctrlDown, vDown, vUp, ctrlUp}},
        {"Enter with Shift and Ctrl",
         Chord::Enter,
         {kRShift, kLControl},
         {maskDown, {kRShift, true}, {kLControl, true}, maskUp, {kReturn, false}, {kReturn, true}}},
        {"Enter with Shift",
         Chord::Enter,
         {kLShift},
         {maskDown, {kLShift, true}, maskUp, {kReturn, false}, {kReturn, true}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(planKeys(c.chord, {c.held}), c.plan) << c.what;
    }
}

// However far the system got through a plan, what follows leaves no key down that went down.
TEST(Keystrokes, APartlySentPlanReleasesEveryKeyItPressed) {
    const auto plan = planKeys(Chord::Paste, {{kLShift, kLMenu}});
    // mask down, Shift up, mask up, Ctrl down, Alt up, V down, V up, Ctrl up
    const struct {
        std::size_t sent;
        std::vector<KeyEvent> releases;
    } cases[] = {
        {0, {}},
        {1, {E{kMaskKey, true}}},
        {2, {E{kMaskKey, true}}},
        {3, {}},
        {4, {E{kLControl, true}}},
        {6, {E{kV, true}, {kLControl, true}}},
        {7, {E{kLControl, true}}},
        {8, {}},
        {99, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(releasesAfterPartial(plan, c.sent), c.releases) << c.sent << " sent";
}

}  // namespace
}  // namespace replybar::keys
