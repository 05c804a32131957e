// The launcher menu closes by itself a moment after the pointer has left it: a countdown of
// ticks that closes the menu when it reaches exactly zero. The launcher button arms it with
// 1.2 s; selecting an item, or resting on the launcher button of a menu that opened beside the
// bar, sets it back to 0.8 s and stops it. The menu starts it when an item is drawn unselected.
// The menu's owner is never the foreground window, so it hears of no pointer moves outside the
// menu's own windows: a pointer watch starts the countdown when the pointer has left the menu
// with an item still selected, and takes back only what it started when the pointer returns.
#pragma once

namespace replybar::launch {

// Where the pointer watch finds the pointer while the launcher menu is open.
enum class MenuPointer { Away, OverMenu, OnLaunchButton };

class MenuAutoClose {
public:
    static constexpr unsigned kTickMs = 200;
    static constexpr int kTicksAfterOpening = 6;
    static constexpr int kTicksAfterSelecting = 4;

    // What an event asks of the tick timer, and whether the menu closes now.
    enum class Timer { Unchanged, Start, Stop };
    struct Step {
        Timer timer = Timer::Unchanged;
        bool close = false;
        bool operator==(const Step&) const = default;
    };

    Step opened();                      // the launcher button was clicked
    Step itemSelected();                // the pointer or a key selected an item
    Step itemLeft();                    // an item was drawn unselected: the pointer left it
    Step pointerAt(MenuPointer where);  // the pointer watch, while the menu is open
    Step tick();

private:
    int ticksLeft_ = 0;  // below zero it never fires again until it is armed anew
    bool ticking_ = false;
    bool startedByWatch_ = false;

    Step start();
    Step stop();
};

}  // namespace replybar::launch
