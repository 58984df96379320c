// Sphere swarm scene on the virtual clock: its three states and their timing.
#include "scenes/swarm.h"
#include "tests/scene_test_support.h"

namespace {

constexpr std::uint32_t firstTick = 300000;

class SwarmScene : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!prepareSceneTest(firstTick)) GTEST_SKIP() << "no GL context";
        resetSwarm();
        currentScene = 9;
    }
    void TearDown() override { swarmScene.unload(); }
};

TEST_F(SwarmScene, FliesInHoldsUntil18SecondsAfterItsFirstFrameAndLeavesAt25) {
    std::uint32_t holdAt = 0, flyOutAt = 0, endAt = 0;
    for (std::uint32_t t = 0; t <= 27000 && endAt == 0; t += 40) {
        const int stateBefore = swarm.swarmState;
        frameAt(firstTick + t, swarmScene.frame);
        if (stateBefore == 0 && swarm.swarmState == 1) {
            holdAt = t;
            EXPECT_EQ(swarm.swarmX, 0.0f); // clamped to the centre
        }
        if (stateBefore == 1 && swarm.swarmState == 2) flyOutAt = t;
        if (currentScene != 9) endAt = t;
    }
    EXPECT_NEAR(holdAt, 7000, 40);
    EXPECT_EQ(flyOutAt, 18000u); // a multiple of the 40 ms step
    EXPECT_NEAR(endAt, 25000, 80);
    EXPECT_EQ(currentScene, 10);
}

TEST_F(SwarmScene, ALongFrameClampsAtTheCentreAndAFrameAlreadyOutsideHandsOver) {
    frameAt(firstTick, swarmScene.frame);
    frameAt(firstTick + 9000, swarmScene.frame); // 9 s in one frame: x would be 2
    EXPECT_EQ(swarm.swarmX, 0.0f);
    EXPECT_EQ(swarm.swarmState, 1);
    frameAt(firstTick + 18000, swarmScene.frame);
    // The state changes before the flight step, so this frame moves x on to 9, past the end:
    // the hand-over happens on that same frame.
    EXPECT_EQ(swarm.swarmState, 2);
    EXPECT_FLOAT_EQ(swarm.swarmX, 9.0f);
    EXPECT_EQ(currentScene, 10);
}

} // namespace
