#include <gtest/gtest.h>

#include "core/bar_state.h"
#include "bar/startup.h"
#include "bar/taskbar.h"
#include "fakes.h"

namespace replybar {
namespace {

TEST(Folders, OneBackslashWhateverTheShellReturns) {
    EXPECT_EQ(dataDirFrom(L"C:\\Users\\a\\AppData\\Roaming"), L"C:\\Users\\a\\AppData\\Roaming\\");
    EXPECT_EQ(dataDirFrom(L"D:\\"), L"D:\\");
    EXPECT_EQ(quickLaunchDirFrom(L"D:\\"), L"D:\\Microsoft\\Internet Explorer\\Quick Launch\\");
    EXPECT_EQ(quickLaunchDirFrom(L"C:\\x"), L"C:\\x\\Microsoft\\Internet Explorer\\Quick Launch\\");
    // No folder from the shell is no folder, never "\", the root of the current drive.
    EXPECT_EQ(dataDirFrom(L""), L"");
    EXPECT_EQ(quickLaunchDirFrom(L""), L"");
}

// Newer than 6.0 is Windows 7 and later; a version not read yet (0.0) is not.
TEST(OsVersion, NewerThanVistaIsWindows7OrLater) {
    for (const OsVersion v : {OsVersion{6, 1}, OsVersion{6, 2}, OsVersion{10, 0}, OsVersion{7, 0}})
        EXPECT_TRUE(isWindows7OrLater(v)) << v.major << "." << v.minor;
    for (const OsVersion v : {OsVersion{6, 0}, OsVersion{5, 1}, OsVersion{}})
        EXPECT_FALSE(isWindows7OrLater(v)) << v.major << "." << v.minor;
}

// At every display scale the bar's lower edge lands on the work area's, 159 px from its left:
// the screen's own twips per pixel (1440 / DPI, cut to a whole number) never leak into the bar's
// 15. Hidden, left and right taskbars span the whole height: there the work area decides too.
TEST(FirstStart, BarSitsOnTheWorkAreaBottomAtEveryScale) {
    using R = PxRect;
    const struct {
        int dpi;
        taskbar::Screen screen;
        R work;
    } cases[] = {
        {96, {1280, 800, 15, 15}, {0, 0, 1280, 760}},
        {120, {1920, 1080, 12, 12}, {0, 0, 1920, 1040}},
        {144, {2560, 1440, 10, 10}, {0, 0, 2560, 1392}},
        {192, {3840, 2160, 7, 7}, {0, 0, 3840, 2098}},     // 1440 / 192 = 7.5, cut to 7
        {120, {1920, 1080, 12, 12}, {0, 0, 1920, 1080}},   // hidden: the whole height
        {144, {2560, 1440, 10, 10}, {72, 0, 2560, 1440}},  // left
        {120, {1920, 1080, 12, 12}, {0, 0, 1860, 1080}},   // right
        {120, {1280, 800, 12, 12}, {0, 0, 1280, 800}},     // under Xvfb: no taskbar
    };
    for (const auto& c : cases) {
        const auto p = firstStartPlacement(c.work, c.screen);
        EXPECT_EQ(twipsToPixels(p.left), c.work.left + 159) << c.dpi;
        EXPECT_EQ(twipsToPixels(p.top) + kBarFaceHeightPx, c.work.bottom)
            << c.dpi << " dpi, work area bottom " << c.work.bottom;
    }
}

// The bar is never left where no one can see it; a place on a monitor is kept exactly.
// The bar moves only when the user could not reach it: a face with a 10 x 10 px piece on some
// monitor stays exactly where it was left.
TEST(KeepOnScreen, MovesOnlyAFaceTheUserCouldNotGrab) {
    using R = PxRect;
    const std::vector<R> two = {{0, 0, 1280, 800}, {1280, -200, 3200, 880}};
    const struct {
        R face;
        std::vector<R> monitors;
        R expected;
    } cases[] = {
        {{159, 771, 262, 800}, two, {159, 771, 262, 800}},          // on the first, at its edge
        {{2000, -150, 2103, -121}, two, {2000, -150, 2103, -121}},  // on the second, above 0
        {{3500, 500, 3603, 529}, two, {3097, 500, 3200, 529}},      // a monitor that is gone
        {{1250, 100, 1353, 129}, two, {1250, 100, 1353, 129}},      // across two monitors
        {{-50, 300, 53, 329}, two, {-50, 300, 53, 329}},            // half off the left edge
        {{-93, 300, 10, 329}, two, {-93, 300, 10, 329}},            // 10 px left to grab
        {{-94, 300, 9, 329}, two, {0, 300, 103, 329}},              // 9 px: out of reach
        {{500, 790, 603, 819}, two, {500, 790, 603, 819}},          // 10 px above the bottom
        {{500, 791, 603, 820}, two, {500, 771, 603, 800}},
        {{1200, -190, 1275, -161}, two, {1280, -190, 1355, -161}},  // above the first: moved
        {{-400, 850, -297, 879}, two, {0, 771, 103, 800}},
        {{999999897, 999999971, 1000000000, 1000000000}, two, {3097, 851, 3200, 880}},
        {{-1000000000, -1000000000, -999999897, -999999971}, two, {0, 0, 103, 29}},
        {{10, 10, 113, 39}, {}, {10, 10, 113, 39}},  // no monitor reported: left alone
    };
    for (const auto& c : cases)
        EXPECT_EQ(keepOnScreen(c.face, c.monitors), c.expected) << c.face.left << "," << c.face.top;
}

}  // namespace
}  // namespace replybar
