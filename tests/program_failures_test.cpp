// What the program says and returns when it cannot do what the command line asks.
#include "tests/process_support.h"

#include <filesystem>
#include <gtest/gtest.h>

TEST(ProgramFailures, AScreenshotThatCannotBeWrittenEndsWithCodeOne) {
    const std::string shot = ::testing::TempDir() + "/no/such/folder/shot.png";
    auto result = runProcess({TUVERO_BINARY, "--window", "--silent", "--hidden", "--step", "16",
                              "--frames", "3", "--screenshot", shot},
                             TUVERO_DATA_DIR, 120);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find(shot), std::string::npos) << result.err;
}

TEST(ProgramFailures, UnknownOptionsAndOptionsThatCannotWorkTogetherAreUsageErrors) {
    const std::vector<std::vector<std::string>> refused = {
        {"--fast"},
        {"--frames", "0"},
        {"--capture", "out/", "--screenshot", "s.png"},
        {"--benchmark", "--screenshot", "s.png"},
    };
    for (const auto& options : refused) {
        std::vector<std::string> args = {TUVERO_BINARY};
        args.insert(args.end(), options.begin(), options.end());
        auto result = runProcess(args, ::testing::TempDir(), 20);
        EXPECT_EQ(result.exitCode, 2) << options[0];
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << result.err;
        if (options[0] == "--fast") {
            EXPECT_NE(result.err.find("unknown option --fast"), std::string::npos) << result.err;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(::testing::TempDir() + "/out"));
}

TEST(ProgramFailures, MusicWithoutAnAudioDeviceSaysHowToPlayWithout) {
    // On the real clock: a run on the virtual clock mixes the music itself, with no device.
    auto result = runProcess({TUVERO_BINARY, "--window", "--music", "--hidden", "--frames", "3"},
                             TUVERO_DATA_DIR, 120, {"SDL_AUDIODRIVER=no_such_driver"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find("cannot start the music"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("--silent"), std::string::npos) << result.err;
}
