// Scene 3 on the virtual clock: its 30 s turn counted from its first frame as the current
// scene, the flight running from its first call, where its picture goes, and its music cue.
#include "assets/vector.h"
#include "scenes/tunnel.h"
#include "tests/scene_test_support.h"
#include <cmath>

namespace {

constexpr std::uint32_t start = 200000;

class TunnelScene : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(prepareSceneTest(start));
        resetTunnel();
        tunnelTextures[0] = solidTexture(220, 60, 60);
        tunnelTextures[1] = solidTexture(60, 220, 60);
        tunnelTextures[2] = solidTexture(0, 0, 0);
    }
    void TearDown() override {
        tunnelUnload();
        for (Texture& texture : tunnelTextures)
            texture = 0;
    }
    static void at(std::uint32_t ms) { frameAt(start + ms, tunnelFrame); }
    static void liveAt(std::uint32_t ms) { liveFaceAt(start + ms, tunnelScene); }
};

TEST_F(TunnelScene, TurnOf30sCountsFromTheFirstFrameAsCurrent) {
    currentScene = 2; // the first interlude shows the tunnel on its cube first
    liveAt(0);
    liveAt(2000);
    EXPECT_NEAR(tunnel.depth, -3.0f, 1e-4) << "the flight runs from the first call";
    EXPECT_NEAR(tunnel.scroll, 2.0f, 1e-4);
    EXPECT_EQ(tunnel.runStart, 0u);
    currentScene = 3;
    at(5000);
    EXPECT_EQ(tunnel.runStart, start + 5000);
    at(34999);
    EXPECT_EQ(currentScene, 3);
    at(35000);
    EXPECT_EQ(currentScene, 4) << "exactly 30,000 ms counts as run out";
}

// As a live face the tunnel draws into the lower-left 256 x 256 pixels only and leaves the rest
// of the frame as it was; the frame that ends its turn is still drawn whole.
TEST_F(TunnelScene, LiveFaceDrawsIntoItsCornerAndTheLastFrameIsWhole) {
    currentScene = 2;
    presentMarker(255, 0, 255);
    liveAt(0);
    liveAt(100);
    const gfx::StateReport state = gfx::currentState();
    EXPECT_EQ(state.viewport[2], 256);
    EXPECT_EQ(state.viewport[3], 256);
    const auto live = offscreenPicture();
    const size_t outside = (static_cast<size_t>(5) * 640 + 600) * 3; // top right
    EXPECT_EQ(live[outside + 1], 0) << "the marker is left alone outside the face";
    EXPECT_EQ(live[outside], 255);

    currentScene = 3;
    at(200);
    at(30200);
    EXPECT_EQ(currentScene, 4);
    EXPECT_NE(presentedPixel(600, 5).r, 255) << "the frame that ends the turn is drawn whole";
}

// Value 0 does nothing; value 1 flashes and shakes the view along its right axis alone.
TEST_F(TunnelScene, ValueOneFlashesAndShakesTheViewSideways) {
    currentScene = 3;
    at(0);
    tunnelOnMusicSync(0);
    EXPECT_EQ(fadeState.fadeAlpha, 0.0f);
    at(100);
    const Camera plain = camera;

    resetTunnel();
    resetCamera();
    resetOverlays();
    at(0);
    platform::setVirtualTick(start + 100);
    tunnelOnMusicSync(1);
    EXPECT_EQ(fadeState.fadeAlpha, 1.0f);
    at(100);
    const Vec3 view = vecNormalize(vecSubtract(plain.center, plain.eye));
    const Vec3 right = vecNormalize(vecCross(view, plain.up));
    const Vec3 moved = vecSubtract(camera.eye, plain.eye);
    const float sideways = moved.x * right.x + moved.y * right.y + moved.z * right.z;
    const float distance2 = moved.x * moved.x + moved.y * moved.y + moved.z * moved.z;
    EXPECT_GT(std::fabs(sideways), 0.05f);
    EXPECT_NEAR(distance2, sideways * sideways, 1e-4) << "moved along the right axis only";
    const Vec3 centreMoved = vecSubtract(camera.center, plain.center);
    EXPECT_NEAR(centreMoved.x, moved.x, 1e-4) << "the camera moves without turning";
    EXPECT_NEAR(centreMoved.z, moved.z, 1e-4);
}

} // namespace
