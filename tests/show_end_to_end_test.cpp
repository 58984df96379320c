// The whole show as the program plays it: every entry of the scene table in order, each for
// its own length, on the virtual clock with the music decoded but not heard.
#include "tests/process_support.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Coarse steps keep the run within the test time limit; every length checked is many steps
// long. Sanitizer builds draw more slowly and take coarser steps still.
#if defined(__SANITIZE_ADDRESS__)
constexpr int stepMs = 160;
#else
constexpr int stepMs = 64;
#endif

// Reads what the child has printed so far.
void readAvailable(int fd, std::string& into) {
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        into.append(buffer, static_cast<size_t>(n));
}

// Plays until the last interlude's picture has held for a while, then presses Escape. The show
// runs on an X server of its own (see OwnDisplay), so that no other test's keys reach its
// window and its Escape reaches no other test's window.
ProcessResult playToTheEndAndPressEscape() {
    OwnDisplay display;
    if (!display.started()) {
        ProcessResult failed;
        failed.err = "no X server of the test's own";
        return failed;
    }
    ChildProcess child =
        startShow(display, {"--window", "--silent", "--step", std::to_string(stepMs)});
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(240);
    while (std::chrono::steady_clock::now() < deadline) {
        readAvailable(child.outFd, out);
        const auto starts = sceneStarts(out);
        // A sync line 3.5 s into the last entry: the cube has flown out, burst and gone.
        if (!starts.empty() && starts.back().scene == 12) {
            int value = 0;
            long frame = 0, syncTime = -1;
            const size_t last = out.rfind("\nsync ");
            if (last != std::string::npos)
                std::sscanf(out.c_str() + last + 1, "sync %d frame %ld time %ld", &value, &frame,
                            &syncTime);
            if (syncTime >= starts.back().time + 3500) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    display.pressKey(child.pid, "Escape");
    ProcessResult result = waitProcess(child, 30);
    result.out = out + result.out;
    return result;
}

TEST(ShowEndToEnd, PlaysEveryEntryInOrderForItsLengthAndHoldsTheLastPictureUntilEscape) {
    const ProcessResult result = playToTheEndAndPressEscape();
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto starts = sceneStarts(result.out);
    ASSERT_EQ(starts.size(), 13u) << result.out;
    for (int entry = 0; entry < 13; ++entry)
        EXPECT_EQ(starts[entry].scene, entry) << result.out;

    // Loading: 12 registration frames and 37 loading units, the hand-over in the 49th frame.
    EXPECT_EQ(starts[1].frame, 49);

    // Expected lengths in ms, measured from an entry's first frame to the next entry's first
    // frame, so each includes the frame that hands over.
    const std::map<int, long> lengths = {
        {3, 30000}, {5, 30000}, {7, 21500}, {9, 25000}, {11, 20000}};
    for (int entry = 1; entry < 12; ++entry) {
        const long length = starts[entry + 1].time - starts[entry].time;
        SCOPED_TRACE("entry " + std::to_string(entry) + " lasted " + std::to_string(length));
        if (entry % 2 == 0) {
            // The interlude: 20 units out and back at 0.015 units per ms.
            EXPECT_NEAR(length, 2667, 4 * stepMs);
        } else if (entry == 1) {
            // The cube grid waits for music syncs: at least its timed phases, 24.8 s.
            EXPECT_GT(length, 24800);
            EXPECT_LT(length, 90000);
        } else {
            EXPECT_GE(length, lengths.at(entry));
            EXPECT_LE(length, lengths.at(entry) + 2 * stepMs);
        }
    }
    // The last interlude never hands over: only Escape ended the program.
    EXPECT_EQ(result.out.find("scene 13"), std::string::npos);
}

} // namespace
