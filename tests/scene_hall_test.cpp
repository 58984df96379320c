// Scene 5: the square path and its corners, the 30 s turn, the GL state it leaves behind, and
// the fog near the eye wherever it stands.
#include "scenes/hall.h"
#include "tests/scene_test_support.h"

namespace {

constexpr std::uint32_t start = 300000;

// Steps of 1 s and of 100 s: a long step stops at the next corner and turns onto the next side
// (nudged off the square for one frame), so the walk never leaves the square.
TEST(HallPath, LongStepsStopAtEachCornerAndTurnOntoTheNextSide) {
    resetHall();
    const struct {
        std::uint32_t ms;
        float x, z;
    } steps[] = {{1000, 2.0f, 3.5f},    {100000, 3.5f, 3.498f},   {100000, 3.502f, -3.5f},
                 {1000, 1.502f, -3.5f}, {100000, -3.5f, -3.498f}, {100000, -3.498f, 3.5f},
                 {1000, -1.498f, 3.5f}};
    for (const auto& step : steps) {
        hallWalk(step.ms);
        EXPECT_FLOAT_EQ(hall.eyeX, step.x);
        EXPECT_FLOAT_EQ(hall.eyeZ, step.z);
    }
}

class HallScene : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(prepareSceneTest(start));
        resetHall();
        hallTextures[0] = solidTexture(0, 0, 200);     // ceiling
        hallTextures[1] = solidTexture(128, 128, 128); // flame mask halves what is behind
        hallTextures[2] = solidTexture(0, 200, 0);     // flame light
        hallTextures[3] = solidTexture(0, 0, 0);       // a black floor shows only the mirror
        hallTextures[4] = solidTexture(200, 0, 0);     // pillars
    }
    void TearDown() override {
        hallUnload();
        for (Texture& texture : hallTextures)
            texture = 0;
    }
    static void at(std::uint32_t ms) { frameAt(start + ms, hallFrame); }
};

TEST_F(HallScene, TurnOf30sCountsFromTheFirstFrameAsCurrent) {
    currentScene = 4;
    liveFaceAt(start, hallScene);
    liveFaceAt(start + 1000, hallScene);
    EXPECT_FLOAT_EQ(hall.eyeX, 2.0f) << "the walk runs from the first call";
    EXPECT_FLOAT_EQ(hall.flameAngle, 80.0f);
    currentScene = 5;
    at(3000);
    EXPECT_EQ(hall.runStart, start + 3000);
    at(32999);
    EXPECT_EQ(currentScene, 5);
    at(33000);
    EXPECT_EQ(currentScene, 6);
}

TEST_F(HallScene, LeavesTheCullingAndDepthStateAsItFoundThem) {
    // The pillars' culling and the mirror's flipped winding must not reach the scenes drawn
    // after the hall (the swarm and greetings would lose faces).
    currentScene = 5;
    at(0);
    const gfx::StateReport state = gfx::currentState();
    EXPECT_FALSE(state.depthLessOrEqual);
    EXPECT_FALSE(state.frontClockwise);
    EXPECT_FALSE(state.culling);
}

TEST_F(HallScene, FogDimsTheFloorAndCeilingByDistanceWhereverTheEyeStands) {
    // White floor and ceiling, black pillars: near the eye both must stay bright. At these two
    // places on the path the driver's default fog distance turned the whole floor black.
    gfx::deleteTextures(hallTextures, 5);
    hallTextures[0] = solidTexture(255, 255, 255);
    hallTextures[1] = solidTexture(255, 255, 255);
    hallTextures[2] = solidTexture(0, 0, 0);
    hallTextures[3] = solidTexture(255, 255, 255);
    hallTextures[4] = solidTexture(0, 0, 0);
    currentScene = 5;
    const float places[][2] = {{0, 3.5f}, {3.5f, -2.582f}, {2.0f, -3.5f}};
    for (const auto& place : places) {
        hall.eyeX = place[0];
        hall.eyeZ = place[1];
        at(0);
        EXPECT_GT(presentedPixel(320, 476).r, 150) << "floor at " << place[0] << "," << place[1];
        EXPECT_GT(presentedPixel(320, 3).r, 150) << "ceiling at " << place[0] << "," << place[1];
    }
}

} // namespace
