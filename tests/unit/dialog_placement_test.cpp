#include "core/dialog_placement.h"

#include <gtest/gtest.h>

namespace replybar::win {
namespace {

// Dialogs open centred on the work area of the bar's monitor, not always on the primary one.
TEST(DialogPlacement, CentredOnTheWorkAreaOfTheBarsMonitor) {
    // The primary with a taskbar at the bottom; a second monitor to its left, taskbar on top.
    const MonitorArea primary{{0, 0, 1280, 800}, {0, 0, 1280, 760}};
    const MonitorArea left{{-1920, -200, 0, 880}, {-1920, -160, 0, 880}};
    const std::vector<MonitorArea> two{primary, left};
    const struct {
        const char* what;
        PxRect bar;
        std::vector<MonitorArea> monitors;
        PxRect expected;
    } cases[] = {
        {"on the primary", {159, 731, 262, 760}, two, {370, 280, 910, 480}},
        {"on the left monitor", {-500, 300, -397, 329}, two, {-1230, 260, -690, 460}},
        {"mostly on the left one", {-60, 300, 43, 329}, two, {-1230, 260, -690, 460}},
        {"off every monitor: the nearest",
         {-3000, 2000, -2897, 2029},
         two,
         {-1230, 260, -690, 460}},
        {"a work area smaller than the dialog",
         {10, 10, 113, 39},
         {{{0, 0, 400, 150}, {0, 0, 400, 150}}},
         {0, 0, 540, 200}},
        {"no monitor known: on the bar", {100, 100, 203, 129}, {}, {100, 100, 640, 300}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(centredOnOwnersMonitor(c.bar, c.monitors, 540, 200), c.expected) << c.what;
}

}  // namespace
}  // namespace replybar::win
