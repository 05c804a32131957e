#include "core/keystrokes.h"

namespace replybar::keys {

Chord chordOf(SendKey key) { return key == SendKey::Enter ? Chord::Enter : Chord::CtrlEnter; }

std::vector<KeyEvent> planKeys(Chord chord, const HeldModifiers& held) {
    const std::uint16_t key = chord == Chord::Paste ? kV : kReturn;
    const bool withCtrl = chord != Chord::Enter;

    auto isShift = [](std::uint16_t vk) { return vk == kLShift || vk == kRShift; };
    std::vector<KeyEvent> out;
    // A held key is let go only while another key is down, so that its release is no lone tap:
    // that would open the target's menu bar (Alt), the Start menu (Win) or switch the input
    // method (Shift, Ctrl). A chord with Ctrl lets Alt and Win go while its Ctrl is down. Shift
    // goes before that, behind the unassigned mask key: released while Ctrl is down it would be
    // Ctrl+Shift, the keyboard layout switch. Without Ctrl in the chord everything held goes
    // behind the mask key. With Ctrl in the chord a held Ctrl stays as it is: the chord presses
    // and releases the left one itself.
    std::vector<std::uint16_t> masked, underCtrl;
    for (auto vk : held.keys) {
        if (!withCtrl || isShift(vk))
            masked.push_back(vk);
        else if (vk != kLControl && vk != kRControl)
            underCtrl.push_back(vk);
    }
    if (!masked.empty()) {
        out.push_back({kMaskKey, false});
        for (auto vk : masked) out.push_back({vk, true});
        out.push_back({kMaskKey, true});
    }
    if (withCtrl) out.push_back({kLControl, false});
    for (auto vk : underCtrl) out.push_back({vk, true});
    out.push_back({key, false});
    out.push_back({key, true});
    if (withCtrl) out.push_back({kLControl, true});
    // Nothing held is pressed again: the user's own release of it follows, and a modifier we
    // pressed down just before it would make that release a lone tap.
    return out;
}

std::vector<KeyEvent> releasesAfterPartial(const std::vector<KeyEvent>& plan,
                                           std::size_t sentCount) {
    std::vector<std::uint16_t> down;  // in the order they went down
    for (std::size_t i = 0; i < sentCount && i < plan.size(); ++i) {
        const KeyEvent& e = plan[i];
        if (!e.up)
            down.push_back(e.vk);
        else
            std::erase(down, e.vk);
    }
    std::vector<KeyEvent> out;
    for (auto it = down.rbegin(); it != down.rend(); ++it) out.push_back({*it, true});
    return out;
}

}  // namespace replybar::keys
