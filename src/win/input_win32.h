// The clipboard, the keystroke sender and the look at the receiving program: what a reply pick
// uses to reach the focused window.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace replybar::win {

class Clipboard : public IClipboard {
public:
    explicit Clipboard(HWND owner) : owner_(owner) {}
    bool setText(const std::wstring& text) override;
    bool holdsOurText() override;
    std::wstring holderName() override;
    Access access(std::uintptr_t target, bool thorough) override;
    std::optional<std::wstring> readText() override;

private:
    HWND owner_;
    DWORD sequence_ = 0;  // the clipboard's sequence number after our last write; 0: none
};

// Sends the bar's chords with SendInput, around whatever modifiers the user holds.
class KeySender : public IKeys {
public:
    bool send(keys::Chord chord, bool wait) override;
    bool tap(std::uint16_t virtualKey) override;
    bool isDown(std::uint16_t virtualKey) override;
};

// Compares the integrity level of the foreground window's process with the bar's own. A
// process keeps its level for life: the bar's own is read once, a target's once per window.
class TargetWindow : public ITargetWindow {
public:
    TargetIntegrity foregroundIntegrity() override;
    std::uintptr_t foreground() override;
    std::wstring foregroundClass() override;

private:
    HWND lastWindow_ = nullptr;
    DWORD lastProcess_ = 0;
    TargetIntegrity lastAnswer_ = TargetIntegrity::Unknown;
    HWND classOf_ = nullptr;  // a window keeps its class for life: asked once per window
    std::wstring class_;
};

}  // namespace replybar::win
