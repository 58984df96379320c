// The show's music in the application: start-up failures, and syncs reaching the current scene.
#include "app/app_state.h"
#include "app/music.h"
#include "app/scene_table.h"
#include "assets/data_folder.h"
#include "platform/platform.h"
#include "tests/music_test_support.h"
#include "tests/process_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::pair<std::uint32_t, int>> received;
std::uint32_t playTick = 0;
void recordSync(int value) { received.push_back({platform::tickCount() - playTick, value}); }

struct TraceLine {
    std::string kind; // "scene" or "sync"
    int value = 0;
    long time = 0;
};

std::vector<TraceLine> parseTrace(const std::string& out) {
    std::vector<TraceLine> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        TraceLine t;
        std::string frameWord, timeWord;
        long frame = 0;
        if (words >> t.kind >> t.value >> frameWord >> frame >> timeWord >> t.time &&
            (t.kind == "scene" || t.kind == "sync")) {
            lines.push_back(t);
        }
    }
    return lines;
}

} // namespace

TEST(MusicApp, MissingModuleFailsWithOneLineSayingWhy) {
    const fs::path empty = fs::path(testing::TempDir()) / "tuvero-no-music";
    fs::create_directories(empty);
    fs::remove(empty / "musa.mo3");
    setDataDirectory(empty.string());
    appState.musicEnabled = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(startMusic(), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    setDataDirectory("");
    EXPECT_EQ(appState.music, 0);
    EXPECT_NE(err.find("musa.mo3"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    playMusic(); // nothing loaded: harmless
    deliverMusicSyncs();
    freeMusic();
}

TEST(MusicApp, SyncsReachTheCurrentSceneOnTheVirtualClock) {
    xm::Module m = testModule();
    noteAt(m, 1, 0, 3);
    noteAt(m, 2, 1, 7);
    noteAt(m, 3, 0, 3);
    noteAt(m, 5, 1, 7);
    const fs::path dir = fs::path(testing::TempDir()) / "tuvero-app-music";
    fs::create_directories(dir);
    std::string error;
    ASSERT_TRUE(xm::writeFile(m, (dir / "musa.mo3").string(), error)) << error;
    setDataDirectory(dir.string());
    // Music on, but the virtual clock mixes in lock-step and opens no device.
    appState.musicEnabled = 1;
    platform::useVirtualClock(70000, 10);
    ASSERT_EQ(startMusic(), 1);
    EXPECT_EQ(appState.music, 1);
    resetSceneTable();
    sceneTable[1].onMusicSync = recordSync;
    currentScene = 1;
    received.clear();
    playTick = platform::tickCount();
    playMusic();
    for (int frame = 0; frame < 100; ++frame) {
        deliverMusicSyncs();
        platform::advanceVirtualClock();
    }
    freeMusic();
    EXPECT_EQ(appState.music, 0);
    resetSceneTable();
    platform::useRealClock();
    setDataDirectory("");
    EXPECT_EQ(received, (std::vector<std::pair<std::uint32_t, int>>{
                            {1 * testRowMs, 1}, {2 * testRowMs, 0}, {3 * testRowMs, 1}}));
}

// The whole chain in the real program: the generated module's cues reach scene 1 on time.
TEST(MusicApp, ShowCuesArriveOnTimeInTheProgram) {
    const auto result = runProcess(
        {TUVERO_BINARY, "--window", "--silent", "--step", "16", "--trace", "--frames", "950"},
        TUVERO_DATA_DIR, 240);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    long sceneOneAt = -1;
    std::vector<TraceLine> syncs;
    for (const TraceLine& t : parseTrace(result.out)) {
        if (t.kind == "scene" && t.value == 1) sceneOneAt = t.time;
        if (t.kind == "sync") syncs.push_back(t);
    }
    ASSERT_GE(sceneOneAt, 0) << result.out;
    ASSERT_GE(syncs.size(), 3u) << result.out;
    // Playback starts on the hand-over frame, one 16 ms step before scene 1's first frame.
    EXPECT_EQ(syncs[0].value, 0);
    EXPECT_NEAR(syncs[0].time - sceneOneAt, 12000 - 16, 16);
    for (std::size_t i = 1; i < syncs.size(); ++i) {
        EXPECT_EQ(syncs[i].value, 1);
        EXPECT_NEAR(syncs[i].time - syncs[i - 1].time, i == 1 ? 500 : 1000, 16);
    }
}
