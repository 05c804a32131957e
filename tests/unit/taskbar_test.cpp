#include "bar/taskbar.h"

#include <gtest/gtest.h>

namespace replybar {
namespace {

TEST(TaskBar, EdgeAndRectangleForEachPlacement) {
    const taskbar::Screen s{1280, 800, 15, 15};
    const struct {
        PxRect work;
        taskbar::TaskbarEdge edge;
        PxRect rect;
    } cases[] = {
        {{0, 0, 1280, 760}, taskbar::Bottom, {0, 11400, 19200, 12000}},
        {{0, 40, 1280, 800}, taskbar::Top, {0, 0, 19200, 600}},
        {{60, 0, 1280, 800}, taskbar::Left, {0, 0, 900, 12000}},
        {{0, 0, 1220, 800}, taskbar::Right, {18300, 0, 19200, 12000}},
        {{0, 0, 1280, 800}, taskbar::Right, {19200, 0, 19200, 12000}},  // hidden
    };
    for (const auto& c : cases) {
        EXPECT_EQ(taskbar::taskbarEdgeOf(c.work, s), c.edge);
        const auto r = taskbar::taskbarRectOf(c.work, s);
        EXPECT_EQ(r.left, c.rect.left);
        EXPECT_EQ(r.top, c.rect.top);
        EXPECT_EQ(r.right, c.rect.right);
        EXPECT_EQ(r.bottom, c.rect.bottom);
    }
}

}  // namespace
}  // namespace replybar
