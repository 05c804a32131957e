#include "launch/menu_auto_close.h"

#include <limits>

namespace replybar::launch {

MenuAutoClose::Step MenuAutoClose::start() {
    ticking_ = true;
    return {Timer::Start};
}

MenuAutoClose::Step MenuAutoClose::stop() {
    ticking_ = false;
    return {Timer::Stop};
}

// The timer is left as it is: the menu's first paint, or the pointer watch, starts it.
MenuAutoClose::Step MenuAutoClose::opened() {
    ticksLeft_ = kTicksAfterOpening;
    return {};
}

MenuAutoClose::Step MenuAutoClose::itemSelected() {
    ticksLeft_ = kTicksAfterSelecting;
    return stop();
}

// Started again even when it runs: the full tick begins anew.
MenuAutoClose::Step MenuAutoClose::itemLeft() { return start(); }

MenuAutoClose::Step MenuAutoClose::pointerAt(MenuPointer where) {
    if (!ticking_) startedByWatch_ = false;
    switch (where) {
        // A menu beside the bar, in columns to be read, waits while the pointer rests on the
        // button that opened it, whoever started the countdown.
        case MenuPointer::OnLaunchButton:
            ticksLeft_ = kTicksAfterSelecting;
            startedByWatch_ = false;
            return ticking_ ? stop() : Step{};
        case MenuPointer::Away:
            if (ticking_) return {};
            startedByWatch_ = true;
            return start();
        case MenuPointer::OverMenu:
            if (!ticking_ || !startedByWatch_) return {};
            ticksLeft_ = kTicksAfterSelecting;
            startedByWatch_ = false;
            return stop();
    }
    return {};
}

MenuAutoClose::Step MenuAutoClose::tick() {
    if (ticksLeft_ > std::numeric_limits<int>::min()) --ticksLeft_;
    if (ticksLeft_ != 0) return {};
    ticking_ = false;
    return {Timer::Stop, true};
}

}  // namespace replybar::launch
