// System-wide hot keys registered for one window: WM_HOTKEY with the id reaches that window.
#pragma once

#include <windows.h>

#include "core/ports.h"
#include "core/key_settings.h"

namespace replybar::win {

static_assert(keys::kModAlt == MOD_ALT && keys::kModControl == MOD_CONTROL &&
              keys::kModShift == MOD_SHIFT && keys::kModNoRepeat == MOD_NOREPEAT);
static_assert(keys::kUp == VK_UP && keys::kDown == VK_DOWN && keys::kHome == VK_HOME &&
              keys::kEnd == VK_END && keys::kReturn == VK_RETURN && keys::kEscape == VK_ESCAPE);

class WindowHotkeys : public IHotkeys {
public:
    explicit WindowHotkeys(HWND window = nullptr) : window_(window) {}
    void setWindow(HWND window) { window_ = window; }
    bool registerKey(int id, unsigned modifiers, unsigned virtualKey) override {
        return ::RegisterHotKey(window_, id, modifiers, virtualKey) != FALSE;
    }
    bool unregisterKey(int id) override { return ::UnregisterHotKey(window_, id) != FALSE; }

private:
    HWND window_;
};

}  // namespace replybar::win
