#include "win/keystrokes.h"

namespace replybar::keys {

std::optional<std::vector<KeyEvent>> planKeys(const std::wstring& notation,
                                              const HeldModifiers& held) {
    std::uint16_t key = 0;
    bool withCtrl = true;
    if (notation == L"^v")
        key = kV;
    else if (notation == L"^{Enter}")
        key = kReturn;
    else if (notation == L"{esc}")
        key = kEscape, withCtrl = false;
    else
        return std::nullopt;

    // With Ctrl in the chord a held Ctrl can stay: only the left one is pressed and released
    // by us, so only a held left Ctrl needs pressing again afterwards.
    auto released = [&](std::uint16_t vk) {
        return !withCtrl || (vk != kLControl && vk != kRControl);
    };
    std::vector<KeyEvent> out;
    // Ctrl goes down before a held Alt or Win is let go: a lone Alt or Win release would open
    // the target's menu or the Start menu.
    if (withCtrl) out.push_back({kLControl, false});
    for (auto vk : held.keys)
        if (released(vk)) out.push_back({vk, true});
    out.push_back({key, false});
    out.push_back({key, true});
    if (withCtrl) out.push_back({kLControl, true});
    for (auto vk : held.keys)
        if (released(vk) || vk == kLControl) out.push_back({vk, false});
    return out;
}

}  // namespace replybar::keys
