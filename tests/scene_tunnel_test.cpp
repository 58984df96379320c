// Scene 3 on the virtual clock: its 30 s turn counted from its first frame as the current
// scene, the flight running from its first call, where its picture goes, and its music cue.
#include "app/scene_table.h"
#include "assets/vector.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/overlays.h"
#include "scenes/interlude.h"
#include "scenes/tunnel.h"
#include "tests/scene_test_support.h"
#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t start = 200000;

// Share of pixels whose red clearly outweighs green: the wall's colour.
double wallShare(const std::vector<std::uint8_t>& rgb) {
    size_t wall = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (rgb[i] > rgb[i + 1] + 20) ++wall;
    return static_cast<double>(wall) / static_cast<double>(rgb.size() / 3);
}

class TunnelScene : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(prepareSceneTest(start));
        resetTunnel();
        tunnelTextures[0] = solidTexture(220, 60, 60);
        tunnelTextures[1] = solidTexture(60, 220, 60);
        tunnelTextures[2] = solidTexture(0, 0, 0);
        interludeTextures[0] = makeTexture(256, 256, std::vector<std::uint8_t>(256 * 256 * 4, 0));
    }
    void TearDown() override {
        tunnelUnload();
        glDeleteTextures(1, &interludeTextures[0]);
        for (Texture& texture : tunnelTextures)
            texture = 0;
        interludeTextures[0] = 0;
    }
    static void at(std::uint32_t ms) { frameAt(start + ms, tunnelFrame); }
    static std::vector<std::uint8_t> liveFace() {
        return readTexture(interludeTextures[0], 256, 256);
    }
};

TEST_F(TunnelScene, TurnOf30sCountsFromTheFirstFrameAsCurrent) {
    currentScene = 2; // the first interlude shows the tunnel on its cube first
    at(0);
    at(2000);
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

TEST_F(TunnelScene, FromTheInterludeItDrawsIntoTheLiveFaceAndPresentsNothing) {
    currentScene = 2;
    presentMarker(255, 0, 255);
    at(0);
    at(100);
    const Rgb presented = presentedPixel(5, 5);
    EXPECT_EQ(presented.r, 255);
    EXPECT_EQ(presented.g, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 256);
    EXPECT_EQ(viewport[3], 256);
    EXPECT_GT(wallShare(liveFace()), 0.3);
}

TEST_F(TunnelScene, TheFrameThatEndsTheTurnGoesToTheLiveFace) {
    currentScene = 3;
    at(0);
    presentMarker(255, 0, 255);
    at(30000);
    EXPECT_EQ(currentScene, 4);
    EXPECT_EQ(presentedPixel(5, 5).g, 0) << "not presented";
    // Drawn with the full-screen viewport: its lower-left 256 x 256 pixels are the copy.
    const auto face = liveFace();
    const auto screen = offscreenPicture();
    for (int y : {0, 128, 255})
        for (int x : {0, 128, 255}) {
            const size_t inFace = (static_cast<size_t>(y) * 256 + x) * 3;
            const size_t onScreen = (static_cast<size_t>(479 - y) * 640 + x) * 3;
            EXPECT_EQ(face[inFace], screen[onScreen]) << x << "," << y;
        }
}

TEST_F(TunnelScene, ValueOneFlashesAndShakesTheViewSideways) {
    currentScene = 3;
    at(0);
    tunnelOnMusicSync(0);
    EXPECT_EQ(fadeState.fadeAlpha, 0.0f) << "value 0 does nothing";
    EXPECT_EQ(shakeState.shakeRight, 0.0f);
    at(100);
    const Camera plain = camera;

    // The same two frames with a value-1 sync just before the second.
    resetTunnel();
    resetCamera();
    resetOverlays();
    at(0);
    platform::setVirtualTick(start + 100);
    tunnelOnMusicSync(1);
    EXPECT_EQ(fadeState.fadeAlpha, 1.0f);
    EXPECT_EQ(fadeState.fadeRate, 0.005f);
    at(100);
    // Placed anew, the camera takes back the start's 0.1 to the right and swings 0.1 to the
    // left: 0.2 along its right axis, nothing along the others.
    const Vec3 view = vecNormalize(vecSubtract(plain.center, plain.eye));
    const Vec3 right = vecNormalize(vecCross(view, plain.up));
    const Vec3 up = vecCross(right, view);
    const Vec3 moved = vecSubtract(camera.eye, plain.eye);
    auto along = [&](Vec3 axis) { return moved.x * axis.x + moved.y * axis.y + moved.z * axis.z; };
    EXPECT_NEAR(along(right), -0.2f, 1e-4);
    EXPECT_NEAR(along(up), 0.0f, 1e-4);
    EXPECT_NEAR(along(view), 0.0f, 1e-4);
    const Vec3 centreMoved = vecSubtract(camera.center, plain.center);
    EXPECT_NEAR(centreMoved.x, moved.x, 1e-4) << "the camera moves without turning";
    EXPECT_NEAR(centreMoved.z, moved.z, 1e-4);
}

} // namespace
