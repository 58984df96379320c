// Scene 1 on the virtual clock: the choreography's phases, the banner track and the music
// cues. How it looks is the reference pictures' job.
#include "render/input_hooks.h"
#include "scenes/cube_grid.h"
#include "tests/scene_test_support.h"
#include <algorithm>

namespace {

constexpr std::uint32_t start = 50000;

class CubeGridScene : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(prepareSceneTest(start));
        resetCubeGrid();
        currentScene = 1;
    }
    void TearDown() override { cubeGridUnload(); }

    static void at(std::uint32_t ms) { frameAt(start + ms, cubeGridFrame); }
    static void syncAt(std::uint32_t ms, int value) {
        platform::setVirtualTick(start + ms);
        cubeGridOnMusicSync(value);
    }
    // Through the fly-in and both growth steps: phase 3 from 10,900 ms.
    static void reachPhase3() {
        at(0);
        at(10100);
        at(10500);
        at(10900);
        ASSERT_EQ(cubeGrid.phase, 3);
    }
    // The cue at 11,000 ms, both tumbles: phase 6 from 19,000 ms.
    static void reachPhase6() {
        reachPhase3();
        syncAt(11000, 0);
        at(11000);
        at(15000);
        at(19000);
        ASSERT_EQ(cubeGrid.phase, 6);
    }
};

TEST_F(CubeGridScene, FlyInEndsAfter10000msAndKicksTheCamera) {
    std::uint32_t ms = 0;
    for (; cubeGrid.phase == 0 && ms < 20000; ms += 40) {
        at(ms);
        if (cubeGrid.phase == 0) {
            EXPECT_EQ(camera.eye.x, 0.0f) << "no shake before the first kick";
            EXPECT_NEAR(cubeGrid.explode, cubeGrid.outerX, 1e-6);
        }
    }
    const std::uint32_t endedAt = ms - 40;
    EXPECT_GE(endedAt, 10000u);
    EXPECT_LE(endedAt, 10040u);
    EXPECT_EQ(cubeGrid.phase, 1);
    EXPECT_EQ(cubeGrid.gridCount, 2);
    EXPECT_EQ(cubeGrid.phaseTick, start + endedAt);
    EXPECT_NE(camera.eye.x, 0.0f) << "the kick shakes the view";
}

TEST_F(CubeGridScene, GrowsEvery400msThenWaitsForTheCueAndValueOneOnlyFlashes) {
    at(0);
    at(10100);
    ASSERT_EQ(cubeGrid.phase, 1);
    at(10499);
    EXPECT_EQ(cubeGrid.phase, 1);
    at(10500);
    EXPECT_EQ(cubeGrid.phase, 2);
    EXPECT_EQ(cubeGrid.gridCount, 3);
    at(10899);
    EXPECT_EQ(cubeGrid.phase, 2);
    at(10900);
    EXPECT_EQ(cubeGrid.phase, 3);
    EXPECT_EQ(cubeGrid.gridCount, 4);
    EXPECT_EQ(cubeGrid.phaseTick, 0u);
    at(60000);
    EXPECT_EQ(cubeGrid.phase, 3) << "only the value-0 cue ends phase 3";
    EXPECT_EQ(cubeGrid.tumble[0], 0.0f);
    syncAt(60000, 1); // outside the waves, value 1 only flashes
    EXPECT_EQ(cubeGrid.phase, 3);
    EXPECT_EQ(cubeGrid.syncFlips, 0);
    EXPECT_EQ(fadeState.fadeAlpha, 1.0f);
}

TEST_F(CubeGridScene, CueStartsTwoTumblesOf4000msEach) {
    reachPhase3();
    syncAt(12000, 0);
    EXPECT_EQ(cubeGrid.phase, 4);
    at(12000);
    EXPECT_EQ(cubeGrid.phaseTick, start + 12000) << "phase 4 starts its timer on its first frame";
    at(15999);
    EXPECT_EQ(cubeGrid.phase, 4);
    at(16000);
    EXPECT_EQ(cubeGrid.phase, 5);
    at(19999);
    EXPECT_EQ(cubeGrid.phase, 5);
    at(20000);
    EXPECT_EQ(cubeGrid.phase, 6);
    EXPECT_EQ(cubeGrid.phaseTick, start + 20000);
}

// The once-only cue may come before the lattices wait for it (a module whose cue instrument
// plays early): the fly-in and growth go on untouched, and phase 3 takes the kept cue at once.
TEST_F(CubeGridScene, AnEarlyCueIsKeptUntilTheLatticesWaitForIt) {
    const std::uint32_t frames[] = {0, 10100, 10500, 10900};
    for (int heardAfter = 1; heardAfter <= 3; ++heardAfter) { // in phase 0, 1 and 2
        SCOPED_TRACE(heardAfter);
        resetCubeGrid();
        for (int i = 0; i < heardAfter; ++i)
            at(frames[i]);
        ASSERT_EQ(cubeGrid.phase, heardAfter - 1);
        syncAt(frames[heardAfter - 1] + 50, 0);
        EXPECT_EQ(cubeGrid.phase, heardAfter - 1) << "kept, not used yet";
        for (int i = heardAfter; i < 4; ++i)
            at(frames[i]);
        EXPECT_EQ(cubeGrid.gridCount, 4) << "the fly-in and both growth steps ran";
        EXPECT_EQ(cubeGrid.phase, 3);
        at(10950);
        EXPECT_EQ(cubeGrid.phase, 4) << "phase 3 took the kept cue";
        at(11000);
        EXPECT_EQ(cubeGrid.phaseTick, start + 11000);
        at(15000);
        EXPECT_EQ(cubeGrid.phase, 5);
    }
}

TEST_F(CubeGridScene, NinthWaveFlipStartsTheFlyApart) {
    reachPhase6();
    for (int flip = 1; flip <= 8; ++flip) {
        syncAt(19000 + flip * 100u, 1);
        EXPECT_EQ(cubeGrid.phase, flip % 2 ? 7 : 6) << "flip " << flip;
    }
    EXPECT_EQ(cubeGrid.syncFlips, 8);
    syncAt(20000, 1);
    EXPECT_EQ(cubeGrid.syncFlips, 9);
    EXPECT_EQ(cubeGrid.phase, 8);
}

TEST_F(CubeGridScene, WavePulsesAndSwingKeepsPhase6Timer) {
    reachPhase6();
    at(19000 + 1571); // a quarter period of the pulse
    EXPECT_NEAR(cubeGrid.cubeSize, 3.0f, 1e-3);
    syncAt(20571, 1);
    ASSERT_EQ(cubeGrid.phase, 7);
    at(19000 + 3142); // sin(0.0005 x 3142) with the timer of phase 6
    EXPECT_NEAR(cubeGrid.cubeSize, 3.0f, 1e-3);
}

TEST_F(CubeGridScene, PhaseStopsAt8AndTheLatticesFlyApartIn6000ms) {
    reachPhase6();
    at(19500);
    syncAt(19500, 0);
    EXPECT_EQ(cubeGrid.phase, 7);
    syncAt(19500, 0);
    EXPECT_EQ(cubeGrid.phase, 8);
    syncAt(19500, 0);
    cubeGridStepPhase(); // the G key
    EXPECT_EQ(cubeGrid.phase, 8) << "a ninth phase would leave the show stuck";
    at(19500);
    EXPECT_EQ(cubeGrid.gridCount, 5);
    EXPECT_EQ(cubeGrid.cubeSize, 2.0f);
    at(25490);
    EXPECT_EQ(currentScene, 1);
    at(25510);
    EXPECT_EQ(currentScene, 2);
    EXPECT_EQ(cubeGrid.innerX, 6.0f);
    EXPECT_EQ(cubeGrid.outerX, -6.0f);
}

TEST_F(CubeGridScene, HeldGKeyStepsOnePhasePerFrameUpTo8) {
    setPhaseStepAction(cubeGridStepPhase);
    platform::useInjectedKeys(true);
    platform::injectKey('G', true);
    for (int frame = 1; frame <= 10; ++frame) {
        processInput();
        EXPECT_EQ(cubeGrid.phase, std::min(frame, 8));
    }
    platform::clearInjectedKeys();
    platform::useInjectedKeys(false);
}

TEST_F(CubeGridScene, BannersStartAt0And11200And22400ms) {
    std::vector<std::uint32_t> starts;
    int index = 0;
    for (std::uint32_t ms = 0; ms <= 34000; ms += 200) {
        at(ms);
        if (cubeGrid.bannerIndex != index) {
            index = cubeGrid.bannerIndex;
            starts.push_back(ms);
        }
    }
    EXPECT_EQ(starts, (std::vector<std::uint32_t>{11200, 22400, 33600}));
}

} // namespace
