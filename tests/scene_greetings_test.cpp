// Greetings scene on the virtual clock: picture cycle and particle respawning.
#include "scenes/greetings.h"
#include "scenes/show_random.h"
#include "tests/scene_test_support.h"


namespace {

constexpr std::uint32_t firstTick = 400000;

class GreetingsScene : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!prepareSceneTest(firstTick)) GTEST_SKIP() << "no GL context";
        resetGreetings();
        // The camera as the interlude hands it over.
        camera.position(0, 0, 5.63f, 0, 0, -1, 0, 1, 0);
        currentScene = 11;
        seedShowRandom(7);
    }
    void TearDown() override { greetingsScene.unload(); }
};

TEST_F(GreetingsScene, AParticlePassingTheTopIsFreedAndRespawnsOnTheNextFrame) {
    frameAt(firstTick, greetingsScene.frame);
    greetings.particlePos[5] = Vec3{12.5f, -3.0f, 49.0f};
    greetings.particleSpeed[5] = 0.1f;
    frameAt(firstTick + 16, greetingsScene.frame);
    EXPECT_EQ(greetings.particlePos[5].x, 0.0f); // free, drawn once more at its last height
    EXPECT_FLOAT_EQ(greetings.particlePos[5].z, 50.6f);
    frameAt(firstTick + 32, greetingsScene.frame);
    EXPECT_NE(greetings.particlePos[5].x, 0.0f);
    // Spawned at -50 and already risen by this frame's step.
    EXPECT_FLOAT_EQ(greetings.particlePos[5].z, -50 + greetings.particleSpeed[5] * 16);
}

TEST_F(GreetingsScene, PicturesChangeEveryFourSecondsAndTheSceneEndsAtTwenty) {
    int slideAt[11] = {};
    std::uint32_t endAt = 0;
    for (std::uint32_t t = 0; t <= 21000 && endAt == 0; t += 16) {
        frameAt(firstTick + t, greetingsScene.frame);
        ASSERT_GE(greetings.slide, 0);
        ASSERT_LT(greetings.slide, 4);
        if (t % 2000 == 0) slideAt[t / 2000] = greetings.slide;
        if (currentScene != 11) endAt = t;
    }
    const int expected[10] = {0, 0, 1, 1, 2, 2, 3, 3, 0, 0}; // every 2 s
    for (int s = 0; s < 10; ++s)
        EXPECT_EQ(slideAt[s], expected[s]) << "at " << 2 * s << " s";
    EXPECT_EQ(endAt, 20000u); // 20000 is a multiple of the 16 ms step
    EXPECT_EQ(currentScene, 12);
}

} // namespace
