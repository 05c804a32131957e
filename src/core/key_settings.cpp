#include "core/key_settings.h"

namespace replybar::keys {

namespace {

// The caps of the keys a hotkey may take, other than letters and digits; nullptr for a key it
// may not take. Punctuation as it stands on the keyboards sold in China (the US layout).
const wchar_t* keyCap(std::uint8_t vk) {
    static const wchar_t* const kFunctionKeys[] = {L"F1",  L"F2",  L"F3",  L"F4",  L"F5",  L"F6",
                                                   L"F7",  L"F8",  L"F9",  L"F10", L"F11", nullptr,
                                                   L"F13", L"F14", L"F15", L"F16", L"F17", L"F18",
                                                   L"F19", L"F20", L"F21", L"F22", L"F23", L"F24"};
    static const wchar_t* const kNumpad[] = {
        L"Num 0", L"Num 1", L"Num 2", L"Num 3", L"Num 4", L"Num 5", L"Num 6", L"Num 7",
        L"Num 8", L"Num 9", L"Num *", L"Num +", nullptr,  L"Num -", L"Num .", L"Num /"};
    if (vk >= 0x70 && vk <= 0x87) return kFunctionKeys[vk - 0x70];
    if (vk >= 0x60 && vk <= 0x6F) return kNumpad[vk - 0x60];
    switch (vk) {
        case 0x08: return L"Backspace";
        case 0x13: return L"Pause";
        case 0x20: return L"Space";
        case 0x21: return L"PageUp";
        case 0x22: return L"PageDown";
        case 0x23: return L"End";
        case 0x24: return L"Home";
        case 0x25: return L"Left";
        case 0x26: return L"Up";
        case 0x27: return L"Right";
        case 0x28: return L"Down";
        case 0x2D: return L"Insert";
        case 0x2E: return L"Delete";
        case 0xBA: return L";";
        case 0xBB: return L"=";
        case 0xBC: return L",";
        case 0xBD: return L"-";
        case 0xBE: return L".";
        case 0xBF: return L"/";
        case 0xC0: return L"`";
        case 0xDB: return L"[";
        case 0xDC: return L"\\";
        case 0xDD: return L"]";
        case 0xDE: return L"'";
        default: return nullptr;
    }
}

bool isLetterOrDigit(std::uint8_t vk) {
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z');
}

constexpr std::uint8_t kModifierFlags = kHotkeyShift | kHotkeyControl | kHotkeyAlt;
constexpr std::uint8_t kDelete = 0x2E;

}  // namespace

std::optional<Hotkey> validHotkey(std::uint32_t number) {
    if (number > 0xFFFF) return std::nullopt;
    const Hotkey h{static_cast<std::uint8_t>(number & 0xFF),
                   static_cast<std::uint8_t>(number >> 8)};
    if (h.flags & ~(kModifierFlags | kHotkeyExtended)) return std::nullopt;
    if (!(h.flags & (kHotkeyControl | kHotkeyAlt))) return std::nullopt;
    if (!isLetterOrDigit(h.virtualKey) && !keyCap(h.virtualKey)) return std::nullopt;
    const bool ctrlAlt = (h.flags & (kHotkeyControl | kHotkeyAlt)) == (kHotkeyControl | kHotkeyAlt);
    if (ctrlAlt && h.virtualKey == kDelete) return std::nullopt;
    return h;
}

unsigned registerModifiers(const Hotkey& hotkey) {
    return (hotkey.flags & kHotkeyShift ? kModShift : 0) |
           (hotkey.flags & kHotkeyControl ? kModControl : 0) |
           (hotkey.flags & kHotkeyAlt ? kModAlt : 0) | kModNoRepeat;
}

bool sameCombination(const Hotkey& a, const Hotkey& b) {
    return a.virtualKey == b.virtualKey && registerModifiers(a) == registerModifiers(b);
}

std::wstring hotkeyText(const Hotkey& hotkey) {
    std::wstring text;
    if (hotkey.flags & kHotkeyControl) text += L"Ctrl+";
    if (hotkey.flags & kHotkeyShift) text += L"Shift+";
    if (hotkey.flags & kHotkeyAlt) text += L"Alt+";
    if (isLetterOrDigit(hotkey.virtualKey))
        text += static_cast<wchar_t>(hotkey.virtualKey);
    else if (const wchar_t* cap = keyCap(hotkey.virtualKey))
        text += cap;
    else
        text += L"?";
    return text;
}

}  // namespace replybar::keys
