// Full screen as the user sees it: a screenshot of the whole X screen, with and without a
// window manager. The picture keeps its 4:3 shape, fills the screen's height and sits in the
// middle between black bars.
#include "tests/process_support.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

// A 16:9 screen, so that the picture needs bars at the sides.
constexpr int screenWidth = 1280, screenHeight = 720;
constexpr int pictureWidth = screenHeight * 4 / 3;

bool startWindowManager(const OwnDisplay& display) {
    display.shell("(openbox >/dev/null 2>&1 &)");
    for (int i = 0; i < 100; ++i) {
        if (display.shell("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") !=
            std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// Plays in full screen on a screen of its own, under openbox when `windowManager`, until the
// first scene's cue (well after the fade from black), then measures the picture and ends the
// show with Escape. With `byF11` the show starts in a window and F11 switches at the cue.
void expectCentredPictureThatFillsTheHeight(bool windowManager, bool byF11 = false) {
    OwnDisplay display(std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "x24");
    ASSERT_TRUE(display.started()) << "no X server of the test's own";
    if (windowManager) {
        ASSERT_TRUE(startWindowManager(display)) << "openbox did not start";
    }
    ChildProcess child =
        startShow(display, {byF11 ? "--window" : "--fullscreen", "--silent", "--step", "50"});
    std::string out;
    const bool cued = readOutputUntil(child, out, "sync 0", 180);
    if (cued && byF11) {
        display.pressKey(child.pid, "F11");
        std::this_thread::sleep_for(std::chrono::seconds(2));
    }
    const OwnDisplay::Box box =
        cued ? display.pictureOnScreen(::testing::TempDir() + "screen.png") : OwnDisplay::Box{};
    display.pressKey(child.pid, "Escape");
    const ProcessResult result = waitProcess(child, 60);
    ASSERT_TRUE(cued) << out << result.out << result.err;
    EXPECT_NEAR(box.height, screenHeight, 2);
    EXPECT_NEAR(box.width, pictureWidth, 2);
    EXPECT_NEAR(box.x, (screenWidth - pictureWidth) / 2, 2);
    EXPECT_NEAR(box.y, 0, 2);
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

} // namespace

TEST(FullScreen, CoversABareXServerWithTheWholePicture) {
    expectCentredPictureThatFillsTheHeight(false);
}

TEST(FullScreen, CoversTheScreenUnderAWindowManager) {
    expectCentredPictureThatFillsTheHeight(true);
}

// Switching to full screen while a window manager has framed the window.
TEST(FullScreen, F11UnderAWindowManagerCoversTheScreen) {
    expectCentredPictureThatFillsTheHeight(true, true);
}
