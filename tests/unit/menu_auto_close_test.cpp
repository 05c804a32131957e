#include "launch/menu_auto_close.h"

#include <gtest/gtest.h>

#include <string>

namespace replybar::launch {
namespace {

// Events: o the launcher button opened the menu, s an item selected, l an item drawn unselected,
// the pointer watch finding the pointer A away, M over the menu, B on the launcher button of a
// menu beside the bar; t a tick. What each does: . nothing, + starts the ticks, - stops them,
// X stops them and closes the menu.
std::string run(const std::string& events) {
    MenuAutoClose a;
    std::string out;
    for (const char e : events) {
        MenuAutoClose::Step s;
        switch (e) {
            case 'o': s = a.opened(); break;
            case 's': s = a.itemSelected(); break;
            case 'l': s = a.itemLeft(); break;
            case 'A': s = a.pointerAt(MenuPointer::Away); break;
            case 'M': s = a.pointerAt(MenuPointer::OverMenu); break;
            case 'B': s = a.pointerAt(MenuPointer::OnLaunchButton); break;
            case 't': s = a.tick(); break;
        }
        using T = MenuAutoClose::Timer;
        out += s.close ? 'X' : s.timer == T::Start ? '+' : s.timer == T::Stop ? '-' : '.';
    }
    return out;
}

TEST(MenuAutoClose, ClosesTheMenuOnceThePointerHasBeenAwayLongEnough) {
    const struct {
        const char* events;
        const char* steps;
        const char* why;
    } cases[] = {
        {"oAtttttt", ".+.....X", "six ticks after opening"},
        {"oltttttttt", ".+.....X..", "below zero it never fires again"},
        {"tttt", "....", "never armed by the launcher button: silent"},
        {"osAtttt", ".-+...X", "four ticks once an item was selected"},
        {"osAtMAtttt", ".-+.-+...X", "back on the menu: the watch takes back what it started"},
        {"oslMtttt", ".-+....X", "what the menu started runs on over the menu"},
        {"oslAtttt", ".-+....X", "away while it runs changes nothing"},
        {"oAslM", ".+-+-", "an item selected on the way does not hand it over"},
        {"olll", ".+++", "each item left starts a full tick anew"},
        {"olBBBAtttt", ".+-..+...X", "a menu beside the bar waits on its button"},
        {"oAttBAtttt", ".+..-+...X", "the button takes back a running countdown too"},
    };
    for (const auto& c : cases) EXPECT_EQ(run(c.events), c.steps) << c.events << ": " << c.why;
}

}  // namespace
}  // namespace replybar::launch
