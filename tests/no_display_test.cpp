// Runs without a display server, and runs that must ask nothing: the live show refuses at once
// and says what to use instead; offline runs need no display at all (SDL draws off screen with
// EGL on Mesa) and make the same pictures; --hidden asks no questions.
#include "tests/process_support.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// No X11 or Wayland display: the variables are removed from the child's environment.
const std::vector<std::string> noDisplay = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_AUDIODRIVER=dummy"};

std::vector<std::string> show(const std::vector<std::string>& options) {
    std::vector<std::string> args = {TUVERO_BINARY, "--data", TUVERO_DATA_DIR};
    args.insert(args.end(), options.begin(), options.end());
    return args;
}

TEST(NoDisplay, TheLiveShowRefusesAndOfflineRunsDrawTheSamePictures) {
    const auto started = std::chrono::steady_clock::now();
    ProcessResult live = runProcess(show({"--window", "--silent"}), TUVERO_DATA_DIR, 60, noDisplay);
    EXPECT_EQ(live.exitCode, 1) << live.err;
    const size_t at = live.err.find("tuvero: there is no display to play the show on");
    ASSERT_NE(at, std::string::npos) << live.err;
    EXPECT_TRUE(at == 0 || live.err[at - 1] == '\n') << live.err;
    EXPECT_NE(live.err.find("--capture"), std::string::npos) << live.err;
    // Without the answers too: no question is asked first.
    live = runProcess(show({}), TUVERO_DATA_DIR, 60, noDisplay);
    EXPECT_EQ(live.exitCode, 1) << live.err;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));

    const fs::path alone = freshFolder("no_display_shots"), onX = freshFolder("x_shots");
    const std::vector<std::string> snapshot = {"--snapshots", "130", "--snapshot-dir"};
    auto withFolder = [&](const fs::path& folder) {
        std::vector<std::string> options = snapshot;
        options.push_back(folder.string());
        return show(options);
    };
    // Off screen, Mesa's EGL driver is loaded and unloaded at run time and keeps allocations that
    // a leak check at exit can no longer name or suppress by library, and the program itself
    // carries none of the tests' suppressions; in sanitizer builds the leak check is off for
    // these two runs, which compare pictures (the same drawing is leak-checked in other tests).
    const std::string noLeakCheck = "ASAN_OPTIONS=detect_leaks=0";
    std::vector<std::string> offscreen = noDisplay;
    offscreen.push_back(noLeakCheck);
    const ProcessResult offline = runProcess(withFolder(alone), TUVERO_DATA_DIR, 120, offscreen);
    ASSERT_EQ(offline.exitCode, 0) << offline.err;
    const ProcessResult reference =
        runProcess(withFolder(onX), TUVERO_DATA_DIR, 120, {"SDL_AUDIODRIVER=dummy", noLeakCheck});
    ASSERT_EQ(reference.exitCode, 0) << reference.err;
    const RgbImage picture = readPicture(framePath(alone, 130));
    ASSERT_EQ(picture.width, 640);
    EXPECT_GT(psnr(picture, readPicture(framePath(onX, 130))), 40);
}

// A hidden run is watched by no one: on a display where a question would wait for an answer,
// it asks none and runs with neither full screen nor music.
TEST(Hidden, AsksNoQuestions) {
    const ProcessResult result =
        runProcess(show({"--hidden", "--step", "16", "--frames", "3", "--trace"}), TUVERO_DATA_DIR,
                   60, {"SDL_AUDIODRIVER=dummy"});
    EXPECT_FALSE(result.timedOut) << "a question waited for an answer";
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("start fullscreen 0 music 0"), std::string::npos) << result.out;
}

} // namespace
