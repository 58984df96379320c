// The loading protocol: one unit of one entry per frame, in index order, and the hand-over to
// scene 1 under a black fade.
#include "app/loading_screen.h"
#include "app/scene_table.h"
#include "assets/data_folder.h"
#include "assets/texture.h"
#include "render/overlays.h"
#include "tests/gl_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::vector<int> loadLog;
int unitsLeft[sceneCount];

template <int Entry> int fakeLoad() {
    loadLog.push_back(Entry);
    return --unitsLeft[Entry] <= 0 ? 1 : 0;
}

template <int... Entries> void installFakeLoads(std::integer_sequence<int, Entries...>) {
    ((sceneTable[Entries].load = fakeLoad<Entries>), ...);
}

// A table whose entries 1..12 need the given number of units each.
void prepareTable(const int (&units)[sceneCount]) {
    resetSceneTable();
    resetOverlays();
    loadIndex = 0;
    loadLog.clear();
    setDataDirectory(TUVERO_DATA_DIR);
    registerScenes(); // entry 0 and the loading picture, as before the main loop
    for (int i = 0; i < sceneCount; ++i)
        unitsLeft[i] = units[i];
}

} // namespace

TEST(LoadingScreen, RegistersThenLoadsOneUnitPerFrameInIndexOrderThenHandsOver) {
    ASSERT_TRUE(ensureGlContext());
    const int units[sceneCount] = {0, 3, 2, 1, 1, 2, 1, 4, 1, 2, 1, 5, 1};
    prepareTable(units);
    int frames = 0;
    while (currentScene == 0 && frames < 200) {
        if (loadIndex == 1 && loadLog.empty() && registeredCount == sceneCount)
            installFakeLoads(std::make_integer_sequence<int, sceneCount>{});
        loadingScreenFrame();
        ++frames;
    }
    // 12 frames of registration, then one frame per unit; the hand-over in the last one.
    EXPECT_EQ(frames, 12 + 24);
    ASSERT_EQ(loadLog.size(), 24u);
    EXPECT_TRUE(std::is_sorted(loadLog.begin(), loadLog.end()));
    EXPECT_EQ(currentScene, 1);
    EXPECT_EQ(loadIndex, sceneCount);
    EXPECT_FLOAT_EQ(fadeState.fadeAlpha, 1.0f) << "scene 1 opens under a full black fade";
    EXPECT_FLOAT_EQ(fadeState.fadeRate, 0.0001f);
    loadingScreenUnload();
}
