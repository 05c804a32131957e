#include "core/key_settings.h"

#include <gtest/gtest.h>

namespace replybar {
namespace {

using namespace keys;

// What the stored number or the hotkey field's word may hold, what it registers as and how the
// user reads it.
TEST(KeySettings, StoredHotkeysAreCheckedRegisteredAndNamed) {
    constexpr std::uint32_t CA = (kHotkeyControl | kHotkeyAlt) << 8;
    const struct {
        std::uint32_t stored;
        const wchar_t* text;  // nullptr: not a hotkey
        unsigned modifiers;   // RegisterHotKey's, without MOD_NOREPEAT
    } cases[] = {
        {CA | 'R', L"Ctrl+Alt+R", kModControl | kModAlt},
        {kHotkeyControl << 8 | '5', L"Ctrl+5", kModControl},
        {(kHotkeyAlt | kHotkeyShift) << 8 | 0x71, L"Shift+Alt+F2", kModAlt | kModShift},
        {(kHotkeyControl | kHotkeyShift | kHotkeyExtended) << 8 | 0x26, L"Ctrl+Shift+Up",
         kModControl | kModShift},
        {kHotkeyAlt << 8 | 0x6B, L"Alt+Num +", kModAlt},
        {kHotkeyControl << 8 | 0xDC, L"Ctrl+\\", kModControl},
        {kHotkeyControl << 8 | 0x2E, L"Ctrl+Delete", kModControl},
        {0, nullptr, 0},                        // an empty field
        {'R', nullptr, 0},                      // no modifier
        {kHotkeyShift << 8 | 'R', nullptr, 0},  // Shift only: typing
        {CA | 0x7B, nullptr, 0},                // F12
        {CA | 0x2E, nullptr, 0},                // Ctrl+Alt+Delete
        {CA | 0x0D, nullptr, 0},                // Enter
        {CA | 0x11, nullptr, 0},                // a modifier alone
        {CA | 0x14, nullptr, 0},                // Caps Lock
        {CA | 0x01, nullptr, 0},                // a mouse button
        {0x10000 | CA | 'R', nullptr, 0},       // bits beyond the word
        {(CA | 0x1000) | 'R', nullptr, 0},      // an unknown flag
        {0xFFFFFFFF, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const std::optional<Hotkey> h = validHotkey(c.stored);
        ASSERT_EQ(h.has_value(), c.text != nullptr);
        if (!h) continue;
        EXPECT_EQ(h->word(), c.stored);  // written back as it was read
        EXPECT_EQ(hotkeyText(*h), c.text);
        EXPECT_EQ(registerModifiers(*h), c.modifiers | kModNoRepeat);
    }
    EXPECT_EQ(hotkeyText(kDefaultHotkey), L"Ctrl+Alt+R");
    EXPECT_TRUE(sameCombination({0x26, kHotkeyControl}, {0x26, kHotkeyControl | kHotkeyExtended}));
    EXPECT_FALSE(sameCombination({'R', kHotkeyControl}, {'R', kHotkeyAlt}));
}

}  // namespace
}  // namespace replybar
