// Camera shake over time and pauses; fade and screen-copy drawing on a hidden GL window.
#include "app/loading_screen.h"
#include "app/projection.h"
#include "assets/texture.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/overlays.h"
#include "tests/gl_test_support.h"

#include "render/gfx.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

class ShakeTest : public ::testing::Test {
  protected:
    void SetUp() override { fresh(); }
    void TearDown() override { platform::useRealClock(); }
    // A camera at rest and the virtual clock at 1000.
    static void fresh() {
        resetCamera();
        resetOverlays();
        platform::useVirtualClock(1000, 16);
    }
    static void stepAt(std::uint32_t tick) {
        platform::setVirtualTick(tick);
        cameraShake(false, 0, 0, 0);
    }
};

TEST_F(ShakeTest, StartDisplacesAtOnceAndStepsSwingBothAxesShrinking) {
    cameraShake(true, 0.001f, 0.1f, 0.2f);
    EXPECT_NEAR(camera.eye.x, 0.1f, 1e-6);
    EXPECT_NEAR(camera.eye.y, 0.2f, 1e-6);
    EXPECT_NEAR(camera.center.x, 0.1f, 1e-6);
    stepAt(1100); // factor 1 - 100 * 0.001 = 0.9, other side
    EXPECT_NEAR(camera.eye.x, -0.09f, 1e-6);
    EXPECT_NEAR(camera.eye.y, -0.18f, 1e-6);
    stepAt(1200);
    EXPECT_NEAR(camera.eye.x, 0.081f, 1e-6);
    EXPECT_NEAR(camera.center.z, -1, 1e-6);

    // A restart does not take back the running displacement.
    fresh();
    cameraShake(true, 0.001f, 0.1f, 0);
    cameraShake(true, 0.001f, 0.2f, 0);
    EXPECT_NEAR(camera.eye.x, 0.3f, 1e-6);
    // A fresh placement each frame sees the difference of displacements: take back 0.1 from
    // the fresh placement, then -0.09.
    fresh();
    cameraShake(true, 0.001f, 0.1f, 0);
    camera.position(0, 0, 0, 0, 0, -1, 0, 1, 0);
    stepAt(1100);
    EXPECT_NEAR(camera.eye.x, -0.19f, 1e-6);
}

// Over a long pause or many frames the shake comes to rest; it never grows.
// Reduced flashing tones down flashes and shakes but leaves the long fade from black alone.
TEST_F(ShakeTest, GentleEffectsToneDownFlashesAndShakesButNotTheOpeningFade) {
    setGentleEffects(true);
    cameraShake(true, 0.005f, 0.1f, 0.05f);
    EXPECT_NEAR(camera.eye.x, 0.02f, 1e-6);
    EXPECT_NEAR(camera.eye.y, 0.01f, 1e-6);
    fadeOverlay(true, 0.005f, 1, 1, 1); // a 200 ms white flash
    EXPECT_FLOAT_EQ(fadeState.fadeAlpha, 0.15f);
    EXPECT_NEAR(fadeState.fadeAlpha / fadeState.fadeRate, 400, 1e-3) << "gone in twice the time";
    fadeOverlay(true, 0.0001f, 0, 0, 0); // the ten-second fade from black
    EXPECT_FLOAT_EQ(fadeState.fadeAlpha, 1);
    EXPECT_FLOAT_EQ(fadeState.fadeRate, 0.0001f);
    setGentleEffects(false);
    fadeOverlay(true, 0.005f, 1, 1, 1);
    EXPECT_FLOAT_EQ(fadeState.fadeAlpha, 1);
}

TEST_F(ShakeTest, LongPausesAndFramesEndTheShakeInsteadOfGrowingIt) {
    cameraShake(true, 0.001f, 0.1f, 0.05f);
    stepAt(1000 + 5000); // e * decay = 5: the factor is bounded to 0
    EXPECT_NEAR(camera.eye.x, 0, 1e-6);
    EXPECT_NEAR(camera.eye.y, 0, 1e-6);
    EXPECT_EQ(shakeState.shakeRight, 0);
    EXPECT_EQ(shakeState.shakeUp, 0);
    camera.position(4, 0, 0, 4, 0, -1, 0, 1, 0);
    stepAt(7000); // inactive now
    EXPECT_EQ(camera.eye, (Vec3{4, 0, 0}));

    fresh();
    cameraShake(true, 0.01f, 0.1f, 0.1f);
    std::uint32_t tick = 1000;
    for (int frame = 0; frame < 200; ++frame)
        stepAt(tick += 16);
    EXPECT_TRUE(shakeState.shakeRight == 0 && shakeState.shakeUp == 0);
    EXPECT_NEAR(camera.eye.x, 0, 1e-4);
    EXPECT_NEAR(camera.eye.y, 0, 1e-4);
}

// ---- GL: fade and screen copy ------------------------------------------------------------

using Pixel = std::array<int, 3>;

class OverlayGlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ensureGlContext(1000));
        resetOverlays();
        setupProjection();
        gfx::setViewport(0, 0, 640, 480);
        gfx::setDepthTest(true);
        gfx::setBlend(false);
        gfx::setColor(1, 1, 1, 1);
        gfx::setClearColor(0, 0, 0, 0);
        gfx::clear(true, true);
    }
    void TearDown() override { platform::useRealClock(); }

    static Pixel pixelFromBottom(int x, int y) { // GL coordinates: y = 0 is the bottom row
        const Rgb pixel = pixelAt(x, 479 - y);
        return {pixel.r, pixel.g, pixel.b};
    }
    static void expectPixelNear(Pixel actual, Pixel expected, int tolerance = 3) {
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(actual[i], expected[i], tolerance) << i;
    }
};

// Drawing state the overlays promise to leave as they found it.
struct DrawingState {
    gfx::StateReport fixed;
    std::array<float, 16> projection{}, modelView{};
    std::array<float, 4> color{};

    static DrawingState capture() {
        DrawingState s;
        s.fixed = gfx::currentState();
        std::copy(gfx::projection().m, gfx::projection().m + 16, s.projection.begin());
        std::copy(gfx::modelView().m, gfx::modelView().m + 16, s.modelView.begin());
        for (int i = 0; i < 4; ++i)
            s.color[static_cast<std::size_t>(i)] = gfx::currentColor(i);
        return s;
    }
    bool operator==(const DrawingState&) const = default;
};

TEST_F(OverlayGlTest, FadeStepRestoresMatricesAndTurnsBlendOff) {
    gfx::translate(1, 2, 3);
    const DrawingState before = DrawingState::capture();
    fadeOverlay(true, 0.0001f, 0, 0, 0);
    platform::setVirtualTick(1100);
    fadeOverlay(false, 0, 0, 0, 0);
    DrawingState after = DrawingState::capture();
    // The fade leaves the model-view matrix holding its own translation to the screen centre.
    EXPECT_EQ(after.modelView[12], 320);
    EXPECT_EQ(after.modelView[13], 240);
    after.modelView = before.modelView;
    EXPECT_TRUE(after == before);
}

TEST_F(OverlayGlTest, FadeOverALongPauseClampsAndThenStops) {
    gfx::setClearColor(0, 0, 1, 1);
    gfx::clear(true, false);
    fadeOverlay(true, 0.005f, 1, 0, 0);
    platform::setVirtualTick(1000 + 60000);
    fadeOverlay(false, 0, 0, 0, 0);
    EXPECT_EQ(fadeState.fadeAlpha, 0);
    expectPixelNear(pixelFromBottom(320, 240), {0, 0, 255}); // drawn fully transparent once

    // Ended: further steps change no drawing state at all.
    gfx::setBlend(true);
    gfx::setColor(0.5f, 0.25f, 0, 1);
    const DrawingState before = DrawingState::capture();
    platform::setVirtualTick(1000 + 70000);
    fadeOverlay(false, 0, 0, 0, 0);
    EXPECT_TRUE(DrawingState::capture() == before);
    gfx::setBlend(false);
    gfx::setColor(1, 1, 1, 1);
}

} // namespace
