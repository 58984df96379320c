// The interlude cube on the virtual clock: its six occurrences, the live views and the
// explosion that ends the show on a held picture.
#include "app/loading_screen.h"
#include "scenes/hall.h"
#include "scenes/interlude.h"
#include "scenes/tunnel.h"
#include "tests/scene_test_support.h"

#include <cmath>

namespace {

constexpr std::uint32_t firstTick = 600000;

struct Angles {
    float x, y, z;
};

// Difference of two angles in degrees, a full turn counting as none.
float turnBetween(float a, float b) {
    float d = std::fmod(std::fabs(a - b), 360.0f);
    return std::min(d, 360 - d);
}

Angles cubeAngles() { return {interlude.cubeAngleX, interlude.cubeAngleY, interlude.cubeAngleZ}; }

class InterludeScene : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!prepareSceneTest(firstTick)) GTEST_SKIP() << "no GL context";
        resetInterlude();
        resetTunnel();
        resetHall();
        // Live faces and the screen copy for the frames to draw into.
        const std::vector<std::uint8_t> black(640 * 480 * 4, 0);
        interludeTextures[0] = makeTexture(256, 256, black);
        interludeTextures[2] = makeTexture(256, 256, black);
        interludeTrailTexture = makeTexture(640, 480, black);
        currentScene = 2;
        tick = firstTick;
    }
    void TearDown() override {
        interludeScene.unload();
        gfx::deleteTexture(interludeTrailTexture);
    }

    // One interlude frame `dt` ms after the previous one.
    void frame(std::uint32_t dt = 16) {
        tick += dt;
        frameAt(tick, interludeScene.frame);
    }

    std::uint32_t tick = 0;
};

// Start angles of occurrences 1 to 6; each occurrence ends on the next one's.
const Angles startAngles[7] = {{0, 0, 0},    {0, 0, 0},     {90, 0, 0},    {90, 270, 90},
                               {90, 0, 180}, {180, 0, 180}, {180, 90, 180}};

TEST_F(InterludeScene, FiveOccurrencesTurnTheCubeFromSceneToSceneAndHandOverOnce) {
    tick -= 16; // the first frame at firstTick
    for (std::uint32_t occurrence = 1; occurrence <= 5; ++occurrence) {
        SCOPED_TRACE(occurrence);
        const int entry = static_cast<int>(2 * occurrence);
        ASSERT_EQ(currentScene, entry);
        const std::uint32_t startTick = tick + 16;
        Angles previous = startAngles[occurrence];
        bool turnedBack = false;
        for (int frames = 0; currentScene == entry && frames < 300; ++frames) {
            const std::uint32_t stageBefore = interlude.stage;
            frame();
            // Live views: the tunnel in occurrences 1 and 2, the hall in 2 and 3.
            EXPECT_EQ(tunnel.tick == tick, stageBefore == 1 || stageBefore == 2);
            EXPECT_EQ(hall.tick == tick, stageBefore == 2 || stageBefore == 3);
            if (interlude.zoomSpeed < 0 && !turnedBack) {
                turnedBack = true;
                EXPECT_EQ(camera.eye.z, interludeFarZ); // placed exactly at the far end
            }
            const Angles now = cubeAngles();
            // The cube never jumps, not even on the frame that ends the occurrence.
            EXPECT_LT(turnBetween(now.x, previous.x), 3.0f);
            EXPECT_LT(turnBetween(now.y, previous.y), 3.0f);
            EXPECT_LT(turnBetween(now.z, previous.z), 3.0f);
            previous = now;
        }
        EXPECT_TRUE(turnedBack);
        EXPECT_EQ(currentScene, entry + 1);
        EXPECT_EQ(interlude.stage, occurrence + 1);
        EXPECT_EQ(camera.eye.z, interludeNearZ);
        EXPECT_EQ(interlude.zoomSpeed, 0.015f);
        EXPECT_NEAR(tick - startTick, 2667, 48); // 20 units out and back at 0.015 per ms
        EXPECT_EQ(interlude.cubeAngleX, startAngles[occurrence + 1].x);
        EXPECT_EQ(turnBetween(interlude.cubeAngleY, startAngles[occurrence + 1].y), 0.0f);
        EXPECT_EQ(interlude.cubeAngleZ, startAngles[occurrence + 1].z);

        // The next scene plays; then the next occurrence starts from the near end.
        currentScene = entry + 2;
        tick += 30000 - 16;
        camera.position(3, 3, 3, 0, 0, 0, 0, 1, 0);
    }
}

TEST_F(InterludeScene, TheSixthOccurrenceExplodesTheCubeAndHoldsTheBackgroundForever) {
    interlude.stage = 6;
    interlude.ticking = true;
    currentScene = 12;
    frame();
    EXPECT_EQ(camera.eye.z, interludeNearZ);
    for (int i = 0; i < 400 && interlude.stage == 6; ++i)
        frame();
    EXPECT_EQ(interlude.stage, 7u);
    EXPECT_EQ(camera.eye.z, interludeFarZ);
    EXPECT_LT(turnBetween(interlude.cubeAngleX, 0), 3.0f); // back to the front face
    // The whole cube's culling must not reach the flying tiles or the scenes after it.
    EXPECT_FALSE(gfx::currentState().frontClockwise);
    EXPECT_FALSE(gfx::currentState().culling);
    const std::uint32_t explodeStart = tick;
    const float eyeXBefore = camera.eye.x;
    frame();
    EXPECT_GT(camera.eye.x, eyeXBefore + 0.1f); // sliding sideways by 0.2 per frame
    for (int i = 0; i < 400 && interlude.stage == 7; ++i)
        frame();
    EXPECT_NEAR(tick - explodeStart, 857, 16); // 30 units at 0.035 per ms
    EXPECT_GE(interlude.explodeDistance, interludeExplodeEnd);
    // Held picture: no hand-over and no cube, however long it runs.
    for (int i = 0; i < 120; ++i)
        frame();
    EXPECT_EQ(currentScene, 12);
    EXPECT_EQ(interlude.stage, 8u);
    EXPECT_FALSE(quitRequested());
}

TEST_F(InterludeScene, ALongFramePlacesTheCameraExactlyAtEitherEnd) {
    camera.position(1, 2, 3, 0, 0, 100, 0, 1, 0);
    frame(0);
    EXPECT_EQ(camera.eye, (Vec3{0, 0, interludeNearZ})) << "the first frame sets only the eye";
    EXPECT_EQ(camera.center, (Vec3{0, 0, 100}));
    frame(5000); // 75 units out in one frame
    EXPECT_EQ(camera.eye.z, interludeFarZ);
    EXPECT_EQ(interlude.zoomSpeed, -0.015f);
    EXPECT_EQ(currentScene, 2);
    frame(5000);
    EXPECT_EQ(camera.eye.z, interludeNearZ);
    EXPECT_EQ(interlude.zoomSpeed, 0.015f);
    EXPECT_EQ(currentScene, 3);
    EXPECT_EQ(interlude.stage, 2u);
}

TEST_F(InterludeScene, AValueZeroSyncStartsAWhiteFlashAndValueOneDoesNothing) {
    interludeScene.onMusicSync(1);
    EXPECT_EQ(fadeState.fadeAlpha, 0.0f);
    interludeScene.onMusicSync(0);
    EXPECT_EQ(fadeState.fadeAlpha, 1.0f);
    EXPECT_EQ(fadeState.fadeColor[2], 1.0f);
}

TEST(InterludeSceneLoad, FirstRegistrationLoadsFourTexturesTheOthersReturnAtOnce) {
    if (!prepareSceneTest(firstTick)) GTEST_SKIP() << "no GL context";
    setDataDirectory(TUVERO_DATA_DIR);
    resetInterlude();
    for (int step = 0; step < 3; ++step)
        EXPECT_EQ(interludeScene.load(), 0) << step;
    EXPECT_EQ(interludeScene.load(), 1);
    const Texture loaded[4] = {interludeTextures[0], interludeTextures[1], interludeTextures[2],
                               interludeTextures[3]};
    for (int registration = 2; registration <= 6; ++registration)
        EXPECT_EQ(interludeScene.load(), 1);
    for (Texture t : loaded)
        EXPECT_TRUE(gfx::isTexture(t));
    EXPECT_EQ(interludeTextures[4], 0u);
    EXPECT_EQ(interludeTextures[5], 0u);
    for (int registration = 1; registration <= 6; ++registration)
        interludeScene.unload();
    for (Texture t : loaded)
        EXPECT_FALSE(gfx::isTexture(t));
    setDataDirectory("");
}

} // namespace
