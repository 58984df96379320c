// Frame times of scenes 1, 3 and 5 with the show's pictures, on whatever GL the context has
// (Mesa's software renderer under the test script). Disabled by default: it measures, it does
// not check. Run with --gtest_also_run_disabled_tests --gtest_filter='*SceneFrameTimes*'.
#include "app/scene_table.h"
#include "assets/data_folder.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/overlays.h"
#include "scenes/cube_grid.h"
#include "scenes/hall.h"
#include "scenes/interlude.h"
#include "scenes/tunnel.h"
#include "tests/scene_test_support.h"
#include <GL/gl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

struct Times {
    double median = 0, p99 = 0, worst = 0;
};

// Runs `frames` frames 16 virtual ms apart; wall time of each up to glFinish.
Times measure(void (*frame)(), int frames, void (*beforeEach)(int) = nullptr) {
    std::vector<double> ms;
    std::uint32_t tick = platform::tickCount();
    for (int i = 0; i < frames; ++i) {
        if (beforeEach) beforeEach(i);
        platform::setVirtualTick(tick += 16);
        const auto begin = std::chrono::steady_clock::now();
        frame();
        glFinish();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back()};
}

void report(const char* name, Times times) {
    std::printf("%-28s median %6.2f ms  99%% %6.2f ms  worst %6.2f ms\n", name, times.median,
                times.p99, times.worst);
}

// Steps scene 1 through all its phases as the music would: cue at 12 s, flips every 500 ms.
void cueCubeGrid(int frame) {
    if (frame == 12000 / 16) cubeGridOnMusicSync(0);
    if (frame > 20000 / 16 && frame % (500 / 16) == 0) cubeGridOnMusicSync(1);
}

TEST(DISABLED_SceneFrameTimes, OnTheShowsPictures) {
    ASSERT_TRUE(prepareSceneTest(1000));
    setDataDirectory(TUVERO_DATA_DIR);
    resetCubeGrid();
    resetTunnel();
    resetHall();
    while (cubeGridLoad() == 0) {
    }
    while (tunnelLoad() == 0) {
    }
    while (hallLoad() == 0) {
    }
    createEmptyTexture(interludeTextures, 256, 256, 0);
    createEmptyTexture(interludeTextures, 256, 256, 2);

    currentScene = 1;
    report("cube grid (whole run)", measure(cubeGridFrame, 32000 / 16, cueCubeGrid));
    currentScene = 3;
    report("tunnel (30 s)", measure(tunnelFrame, 30000 / 16));
    currentScene = 4;
    report("tunnel into 256 x 256", measure(tunnelFrame, 200));
    currentScene = 5;
    report("hall (30 s)", measure(hallFrame, 30000 / 16));
    currentScene = 4;
    report("hall into 256 x 256", measure(hallFrame, 200));

    cubeGridUnload();
    tunnelUnload();
    hallUnload();
    glDeleteTextures(6, interludeTextures);
    std::fill(std::begin(interludeTextures), std::end(interludeTextures), 0);
}

} // namespace
