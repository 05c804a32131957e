#include "bar/stay_on_top.h"

#include <gtest/gtest.h>

namespace replybar {
namespace {

// The bar goes back on top of whatever comes to the front, except a full-screen program on the
// bar's own monitor, which it never covers. A maximised chat or any window with a caption is no
// full-screen program, whatever its rectangle; the shell's word counts for a window without a
// caption in front on the bar's monitor.
TEST(StayOnTop, TopmostUnlessAFullScreenProgramIsInFrontOnTheBarsMonitor) {
    const PxRect monitor{0, 0, 1280, 800};
    const auto Top = BarLayer::Topmost, Behind = BarLayer::BehindForeground;
    const auto Busy = ShellState::FullScreenBusy;
    const struct {
        const char* what;
        ForegroundWindow front;
        BarLayer layer;
    } cases[] = {
        {"nothing in front", {}, Top},
        {"a chat window", {.exists = true, .rect = {300, 100, 720, 400}, .hasCaption = true}, Top},
        {"a maximised chat above a taskbar",
         {.exists = true, .rect = {-8, -8, 1288, 768}, .hasCaption = true, .maximised = true},
         Top},
        {"a maximised chat on a monitor without taskbar",
         {.exists = true, .rect = {-8, -8, 1288, 808}, .hasCaption = true, .maximised = true},
         Top},
        {"a maximised window without caption",
         {.exists = true, .rect = {0, 0, 1280, 800}, .maximised = true},
         Top},
        {"a window with a caption sized over the monitor",
         {.exists = true, .rect = {-8, -30, 1288, 808}, .hasCaption = true},
         Top},
        {"a full-screen video", {.exists = true, .rect = {0, 0, 1280, 800}}, Behind},
        {"a game larger than the screen", {.exists = true, .rect = {-3, -3, 1283, 803}}, Behind},
        {"a borderless window short of the screen",
         {.exists = true, .rect = {0, 0, 1280, 799}},
         Top},
        {"full screen on the other monitor", {.exists = true, .rect = {1280, 0, 3200, 1080}}, Top},
        {"the desktop", {.exists = true, .rect = {0, 0, 1280, 800}, .isDesktop = true}, Top},
        {"one of the bar's dialogs",
         {.exists = true, .rect = {0, 0, 1280, 800}, .isOurs = true},
         Top},
        // The shell knows a full-screen program whose window does not quite cover the monitor.
        {"shell: full-screen program",
         {.exists = true, .rect = {0, 0, 1280, 790}, .shell = Busy},
         Behind},
        {"shell: a game holds the display",
         {.exists = true, .rect = {0, 0, 1024, 768}, .shell = ShellState::Direct3DFullScreen},
         Behind},
        {"shell: presentation settings",
         {.exists = true, .rect = {200, 100, 1000, 700}, .shell = ShellState::Presentation},
         Behind},
        {"shell: busy, the window in front has a caption",
         {.exists = true, .rect = {300, 100, 720, 400}, .hasCaption = true, .shell = Busy},
         Top},
        {"shell: busy, a maximised window in front",
         {.exists = true, .rect = {0, 0, 1280, 800}, .maximised = true, .shell = Busy},
         Top},
        {"shell: busy on the other monitor",
         {.exists = true, .rect = {1280, 0, 3200, 1080}, .shell = Busy},
         Top},
        {"shell: busy, the desktop in front",
         {.exists = true, .rect = {0, 0, 1280, 800}, .isDesktop = true, .shell = Busy},
         Top},
    };
    for (const auto& c : cases) EXPECT_EQ(barLayerFor(c.front, monitor), c.layer) << c.what;
}

}  // namespace
}  // namespace replybar
