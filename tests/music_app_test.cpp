// The show's music in the application: syncs reaching the current scene.
#include "app/app_state.h"
#include "app/music.h"
#include "app/scene_table.h"
#include "assets/data_folder.h"
#include "platform/platform.h"
#include "tests/music_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

std::vector<std::pair<std::uint32_t, int>> received;
std::uint32_t playTick = 0;
void recordSync(int value) { received.push_back({platform::tickCount() - playTick, value}); }

} // namespace

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
