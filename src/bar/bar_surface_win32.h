// The bar's window as its rules see it: moved, shaped and repainted, the pointer and the work
// area read, the timers set on it.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "core/ports.h"

namespace replybar {

class BarSurface : public IBarWindow, public ITimers {
public:
    // `repainted` runs after each invalidation: whatever follows a change of the picture.
    void attach(HWND bar, std::function<void()> repainted) {
        bar_ = bar;
        repainted_ = std::move(repainted);
    }
    HWND hwnd() const { return bar_; }

    // IBarWindow
    void setBounds(const PxRect& screenRect) override;
    void setRegion(const std::vector<PxRect>& roundRectArgs) override;
    void invalidate() override;
    PxPoint cursorPos() override;
    PxRect workArea() override;
    // ITimers
    void enable(TimerId id, unsigned intervalMs) override;
    void disable(TimerId id) override;

private:
    HWND bar_ = nullptr;
    std::function<void()> repainted_;
};

}  // namespace replybar
