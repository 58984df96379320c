// Modules that never play a cue instrument: the warning at load, --cue-instruments, and offline
// runs that end (with an error, nothing written) when the music ends before the show can.
#include "tests/music_test_support.h"
#include "tests/process_support.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

bool patternsPlay(const xm::Module& module, const std::string& name, int instrument) {
    std::string error;
    EXPECT_TRUE(
        platform::musicLoad(writeTestModule(module, name), platform::MusicOutput::Silent, error))
        << error;
    const bool plays = platform::musicPatternsPlayInstrument(instrument);
    platform::musicFree();
    return plays;
}

// A 64-row module (7.7 s) with notes of instruments 1, 2 and 5 only.
xm::Module cuelessModule() {
    xm::Module module = testModule(64);
    for (int row = 0; row < 64; row += 8) {
        noteAt(module, row, 0, 1);
        noteAt(module, row + 2, 1, 2);
    }
    noteAt(module, 4, 2, 5);
    return module;
}

} // namespace

TEST(MusicCues, PatternsTellWhetherAnInstrumentIsEverPlayed) {
    xm::Module module = testModule();
    noteAt(module, 0, 0, 3);
    EXPECT_TRUE(patternsPlay(module, "cues_plain", 3));
    EXPECT_FALSE(patternsPlay(module, "cues_plain", 7));

    // A note without an instrument plays the channel's last one; a bare instrument number
    // plays nothing by itself.
    xm::Module inherited = testModule();
    cell(inherited, 2, 1).instrument = 7;
    cell(inherited, 5, 1).note = xm::noteC4;
    EXPECT_TRUE(patternsPlay(inherited, "cues_inherited", 7));
    xm::Module bare = testModule();
    cell(bare, 2, 1).instrument = 7;
    cell(bare, 5, 2).note = xm::noteC4;
    EXPECT_FALSE(patternsPlay(bare, "cues_bare", 7));

    // A tone portamento slides the note that plays: instrument 7 is never started.
    xm::Module slide = testModule();
    noteAt(slide, 1, 0, 1);
    noteAt(slide, 3, 0, 7).effect = xm::fx::tonePortamento;
    EXPECT_FALSE(patternsPlay(slide, "cues_slide", 7));

    // Only patterns that the order list plays count.
    xm::Module unlisted = testModule();
    unlisted.patterns.emplace_back(16, unlisted.channels);
    unlisted.patterns[1].at(0, 0, unlisted.channels) = {xm::noteC4, 7, 0, 0, 0};
    EXPECT_FALSE(patternsPlay(unlisted, "cues_unlisted", 7));
    unlisted.orders = {0, 1};
    EXPECT_TRUE(patternsPlay(unlisted, "cues_unlisted", 7));
}

TEST(MusicCues, TheLiveShowWarnsOnceAndSaysThatGMovesTheFirstSceneOn) {
    const std::string data = showDataWithModule(cuelessModule(), "live");
    auto result = runProcess(
        {TUVERO_BINARY, "--window", "--silent", "--hidden", "--step", "16", "--frames", "120"},
        data, 120);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(countOf(result.err, "musa.mo3 never plays instrument 7"), 1) << result.err;
    EXPECT_EQ(countOf(result.err, "never plays instrument 3"), 1) << result.err;
    EXPECT_NE(result.err.find("press G"), std::string::npos) << result.err;
}

TEST(MusicCues, OtherCueInstrumentsAreChosenOnTheCommandLine) {
    const std::string data = showDataWithModule(cuelessModule(), "chosen");
    auto result = runProcess({TUVERO_BINARY, "--window", "--silent", "--hidden", "--step", "16",
                              "--frames", "500", "--trace", "--cue-instruments", "2,1"},
                             data, 120);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("never plays"), std::string::npos) << result.err;
    EXPECT_EQ(countOf(result.out, "sync 0 "), 1) << result.out;
    EXPECT_GE(countOf(result.out, "sync 1 "), 2) << result.out;

    for (const char* bad : {"7", "0,3", "7,3,1", "256,3"}) {
        auto refused = runProcess({TUVERO_BINARY, "--cue-instruments", bad}, "", 20);
        EXPECT_EQ(refused.exitCode, 2) << bad;
        EXPECT_NE(refused.err.find("--cue-instruments takes"), std::string::npos) << refused.err;
    }
}

// Without the cues the first scene never ends. A capture and a benchmark stop once the music is
// over, with exit code 1, and leave nothing behind; the capture's progress line never promised
// the usual length of the show.
TEST(MusicCues, OfflineRunsEndWithAnErrorWhenTheMusicEndsBeforeTheShowCan) {
    const std::string data = showDataWithModule(cuelessModule(), "offline");
    const fs::path out = freshFolder("cue_capture_out");
    auto result = runProcess({TUVERO_BINARY, "--capture", out.string(), "--fps", "10"}, data, 240);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find("\ntuvero: the music ended while the first scene still waits"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("this run stops with an error when the music ends"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(fs::is_empty(out));
    // Loading (about 40 frames) and 7.7 s of music at 10 fps: about 120 frames in all. No
    // progress line promises an end beyond that.
    const std::string& err = result.err;
    long largest = 0;
    for (size_t at = 0; (at = err.find(" of ", at)) != std::string::npos; at += 4) {
        const size_t digits = err[at + 4] == '~' ? at + 5 : at + 4;
        largest = std::max(largest, std::strtol(err.c_str() + digits, nullptr, 10));
    }
    EXPECT_GT(largest, 0) << err;
    EXPECT_LT(largest, 200) << err;

    const fs::path json = out / "benchmark.json";
    result = runProcess({TUVERO_BINARY, "--benchmark-json", json.string()}, data, 240);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.err.find("the benchmark stops without a result"), std::string::npos)
        << result.err;
    EXPECT_TRUE(fs::is_empty(out));
}
