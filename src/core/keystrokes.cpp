#include "core/keystrokes.h"

namespace replybar::keys {

std::optional<std::vector<KeyEvent>> planKeys(const std::wstring& notation,
                                              const HeldModifiers& held) {
    std::uint16_t key = 0;
    bool withCtrl = true;
    if (notation == L"^v")
        key = kV;
    else if (notation == L"^{Enter}")
        key = kReturn;
    else if (notation == L"{Enter}")
        key = kReturn, withCtrl = false;
    else if (notation == L"{esc}")
        key = kEscape, withCtrl = false;
    else
        return std::nullopt;

    // With Ctrl in the chord a held Ctrl can stay as it is: the chord presses and releases the
    // left one itself.
    auto released = [&](std::uint16_t vk) {
        return !withCtrl || (vk != kLControl && vk != kRControl);
    };
    std::vector<KeyEvent> out;
    // Ctrl goes down before a held Alt or Win is let go: a lone Alt or Win release would open
    // the target's menu or the Start menu. A plain Enter has no Ctrl: the mask key goes down
    // instead.
    const bool masked = !withCtrl && key == kReturn && !held.keys.empty();
    if (withCtrl) out.push_back({kLControl, false});
    if (masked) out.push_back({kMaskKey, false});
    for (auto vk : held.keys)
        if (released(vk)) out.push_back({vk, true});
    if (masked) out.push_back({kMaskKey, true});
    out.push_back({key, false});
    out.push_back({key, true});
    if (withCtrl) out.push_back({kLControl, true});
    // Nothing held is pressed again: the user's own release of it follows, and a modifier we
    // pressed down just before it would make that release a lone tap, which opens the window's
    // menu bar (Alt), the Start menu (Win) or switches the input method (Shift, Ctrl).
    return out;
}

const wchar_t* sendKeyNotation(SendKey key) {
    return key == SendKey::Enter ? L"{Enter}" : L"^{Enter}";
}

}  // namespace replybar::keys
