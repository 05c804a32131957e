// The send-keys routine's plan: which key events to inject for one of the chords the bar sends.
// Modifiers the user physically holds are released first, so the receiving window never sees
// Ctrl+Shift+V, and are left released: no key stays stuck and none is tapped alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace replybar::keys {

// Virtual-key codes, as Windows numbers them.
enum Vk : std::uint16_t {
    kReturn = 0x0D,
    kEscape = 0x1B,
    kBack = 0x08,
    kTab = 0x09,
    kPageUp = 0x21,
    kPageDown = 0x22,
    kEnd = 0x23,
    kHome = 0x24,
    kLeft = 0x25,
    kUp = 0x26,
    kRight = 0x27,
    kDown = 0x28,
    kV = 0x56,
    kLShift = 0xA0,
    kRShift = 0xA1,
    kLControl = 0xA2,
    kRControl = 0xA3,
    kLMenu = 0xA4,
    kRMenu = 0xA5,
    kLWin = 0x5B,
    kRWin = 0x5C,
    // Unassigned: no program acts on it. Pressed while held modifiers are let go, it makes their
    // release no lone tap.
    kMaskKey = 0xE8,
    // No key has this number: the panel's hotkey id for Shift+Tab, which Tab's own id cannot
    // also name.
    kShiftTab = 0xFF,
};

// The key auto-send presses after the paste; stored as this number.
enum class SendKey : std::uint32_t { CtrlEnter = 0, Enter = 1 };

// What the bar sends: the paste (Ctrl+V) and either send key.
enum class Chord { Paste, CtrlEnter, Enter };
Chord chordOf(SendKey key);

struct KeyEvent {
    std::uint16_t vk;
    bool up;
    bool operator==(const KeyEvent&) const = default;
};

// The modifiers that are down at the moment of sending, left and right apart.
struct HeldModifiers {
    std::vector<std::uint16_t> keys;  // any of kLShift … kRWin
};

std::vector<KeyEvent> planKeys(Chord chord, const HeldModifiers& held);

// When the system took only the first `sentCount` events of `plan`: the key-ups of the keys
// those pressed and did not release, last pressed first, so that none stays down.
std::vector<KeyEvent> releasesAfterPartial(const std::vector<KeyEvent>& plan,
                                           std::size_t sentCount);

}  // namespace replybar::keys
