// The hotkey that opens and closes the reply panel: the word of the common controls' hotkey
// control (virtual key in the low byte, its HOTKEYF_ flags in the next one), which hotkeys it may
// be, how it registers and how the user reads it. It is stored with the other settings
// (core/settings.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/ports.h"
#include "core/keystrokes.h"

namespace replybar::keys {

// The hotkey control's modifier flags (HOTKEYF_SHIFT, _CONTROL, _ALT, _EXT).
inline constexpr std::uint8_t kHotkeyShift = 0x01;
inline constexpr std::uint8_t kHotkeyControl = 0x02;
inline constexpr std::uint8_t kHotkeyAlt = 0x04;
inline constexpr std::uint8_t kHotkeyExtended = 0x08;  // which of two same keys; no modifier
// RegisterHotKey's modifier flags (MOD_ALT, _CONTROL, _SHIFT, _NOREPEAT).
inline constexpr unsigned kModAlt = 0x0001;
inline constexpr unsigned kModControl = 0x0002;
inline constexpr unsigned kModShift = 0x0004;
inline constexpr unsigned kModNoRepeat = 0x4000;  // a held key reports once, not at each repeat

struct Hotkey {
    std::uint8_t virtualKey = 0;
    std::uint8_t flags = 0;  // kHotkeyShift | kHotkeyControl | kHotkeyAlt | kHotkeyExtended
    // The word HKM_GETHOTKEY gives and HKM_SETHOTKEY takes, and the stored number.
    std::uint16_t word() const { return static_cast<std::uint16_t>(flags << 8 | virtualKey); }
    bool operator==(const Hotkey&) const = default;
};

inline constexpr Hotkey kDefaultHotkey{'R', kHotkeyControl | kHotkeyAlt};

// The hotkey a stored number or the control's word stands for, or nullopt when it cannot be one:
// bits beyond the word or the four flags, no Ctrl or Alt (a plain or shifted key is typing), or
// a key no hotkey should take: none, a modifier, a lock, a mouse button, Tab, Enter, Esc (the
// dialogs' keys), F12 (the debugger's), Ctrl+Alt+Delete (the system's).
std::optional<Hotkey> validHotkey(std::uint32_t number);
// RegisterHotKey's modifiers for it, with kModNoRepeat: holding the combination toggles once.
unsigned registerModifiers(const Hotkey& hotkey);
// Two hotkeys that register as the same combination (they may differ in kHotkeyExtended only).
bool sameCombination(const Hotkey& a, const Hotkey& b);
// "Ctrl+Alt+R", in the order the hotkey control shows it (Ctrl, Shift, Alt); key caps by their
// English names, as printed on Chinese keyboards.
std::wstring hotkeyText(const Hotkey& hotkey);

}  // namespace replybar::keys
