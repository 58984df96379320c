// Camera operations against hand-computed values, and the camera keys on a virtual clock.
#include "platform/platform.h"
#include "render/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

constexpr float halfPi = std::numbers::pi_v<float> / 2;
constexpr float tolerance = 1e-4f;

#define EXPECT_VEC_NEAR(actual, ex, ey, ez)                                                        \
    do {                                                                                           \
        const Vec3 v_ = (actual);                                                                  \
        EXPECT_NEAR(v_.x, (ex), tolerance);                                                        \
        EXPECT_NEAR(v_.y, (ey), tolerance);                                                        \
        EXPECT_NEAR(v_.z, (ez), tolerance);                                                        \
    } while (0)

bool finite(const Camera& c) {
    for (const Vec3& v : {c.eye, c.center, c.up})
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
    return true;
}

class CameraTest : public ::testing::Test {
  protected:
    void SetUp() override { resetCamera(); }
};

TEST_F(CameraTest, MoveUsesUnitAxesWhateverTheirLength) {
    // View direction five units long, up two units long: steps are still one unit per amount.
    camera.position(1, 2, 3, 1, 2, -2, 0, 2, 0);
    camera.move(1, 0, 0, -1); // forwards
    EXPECT_VEC_NEAR(camera.eye, 1, 2, 2);
    EXPECT_VEC_NEAR(camera.center, 1, 2, -3);
    camera.move(2, 1, 0, 0); // right: F x up = +x
    EXPECT_VEC_NEAR(camera.eye, 3, 2, 2);
    camera.move(0.5f, 0, -1, 0); // down
    EXPECT_VEC_NEAR(camera.eye, 3, 1.5f, 2);
    EXPECT_VEC_NEAR(camera.center, 3, 1.5f, -3);
    EXPECT_EQ(camera.up, (Vec3{0, 2, 0}));
}

TEST_F(CameraTest, TurnsPitchTowardsUpYawLeftAndRollAboutTheViewAxis) {
    camera.position(1, 2, 3, 1, 2, 1, 0, 1, 0);
    camera.turn(halfPi, 1, 0, 0);
    EXPECT_VEC_NEAR(camera.center, 1, 3, 3); // one unit away from the eye
    EXPECT_VEC_NEAR(camera.up, 0, 0, 2);     // S x F with S = F x up of length 2
    resetCamera();
    camera.turn(halfPi, 0, 1, 0);
    EXPECT_VEC_NEAR(camera.center, -1, 0, 0);
    EXPECT_VEC_NEAR(camera.up, 0, 1, 0);
    resetCamera();
    camera.turn(halfPi, 0, 0, 1);
    EXPECT_VEC_NEAR(camera.center, 0, 0, -1);
    EXPECT_VEC_NEAR(camera.up, -1, 0, 0);
}

// A look-at whose new up vanishes takes the y axis; degenerate cameras never produce NaN, and
// the guarded operations leave them as they were.
TEST_F(CameraTest, DegenerateCamerasNeverProduceNaNAndGuardedOperationsChangeNothing) {
    // A point exactly to the side: the new up is zero.
    camera.lookAt({3, 0, 0});
    EXPECT_EQ(camera.up, (Vec3{0, 1, 0}));
    EXPECT_VEC_NEAR(camera.center, 1, 0, 0);
    // Looking along up: the old side axis is zero.
    camera.position(0, 0, 0, 0, 1, 0, 0, 1, 0);
    camera.lookAt({0, 0, -3});
    EXPECT_EQ(camera.up, (Vec3{0, 1, 0}));
    EXPECT_VEC_NEAR(camera.center, 0, 0, -1);

    // Eye on the point looked at, zero up, eye on the pivot: every operation stays finite.
    const Camera degenerate[] = {
        {{1, 1, 1}, {1, 1, 1}, {0, 1, 0}},
        {{0, 0, 0}, {0, 0, -1}, {0, 0, 0}},
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {{0, 0, 0}, {0, 1, 0}, {0, 1, 0}},
    };
    for (const Camera& start : degenerate) {
        camera = start;
        camera.move(1, 1, 1, 1);
        EXPECT_TRUE(finite(camera));
        camera = start;
        camera.turn(0.5f, 1, 1, 1);
        EXPECT_TRUE(finite(camera));
        camera = start;
        camera.lookAt(start.eye);
        EXPECT_TRUE(finite(camera));
        camera = start;
        camera.orbit({0, 0, 0}, 0.5f, 1, 1, 1);
        EXPECT_TRUE(finite(camera));
    }
    // Where the direction is undefined, the guarded operations leave the camera as it was.
    camera.position(1, 1, 1, 1, 1, 1, 0, 1, 0);
    camera.move(1, 1, 0, 1);
    camera.lookAt({1, 1, 1});
    EXPECT_EQ(camera.eye, (Vec3{1, 1, 1}));
    EXPECT_EQ(camera.center, (Vec3{1, 1, 1}));
    resetCamera();
    camera.orbit({0, 0, 0}, 1, 1, 0, 0); // eye on the pivot
    EXPECT_EQ(camera.eye, (Vec3{0, 0, 0}));
    EXPECT_EQ(camera.center, (Vec3{0, 0, -1}));
    // Tiny directions still normalise: their squares underflow in float, the direction is
    // still well defined.
    camera.position(0, 0, 0, 0, 0, -1e-30f, 0, 1, 0);
    camera.move(1, 0, 0, 1);
    EXPECT_VEC_NEAR(camera.eye, 0, 0, 1);
}

// ---- Keys on the virtual clock --------------------------------------------------------------

class CameraKeysTest : public CameraTest {
  protected:
    void SetUp() override {
        CameraTest::SetUp();
        platform::useVirtualClock(1000, 16);
        platform::clearInjectedKeys();
        platform::useInjectedKeys(true);
    }
    void TearDown() override {
        platform::clearInjectedKeys();
        platform::useInjectedKeys(false);
        platform::useRealClock();
    }
    // First call at `from` (elapsed 0), then one call at each of the ticks.
    void runFrames(std::uint32_t from, std::initializer_list<std::uint32_t> ticks) {
        platform::setVirtualTick(from);
        processInput();
        for (std::uint32_t tick : ticks) {
            platform::setVirtualTick(tick);
            processInput();
        }
    }
};

TEST_F(CameraKeysTest, HeldKeysMoveOneUnitASecondAtAnyFrameRateAndAcrossTheTickWrap) {
    platform::injectKey('W', true);
    runFrames(1000, {});
    EXPECT_EQ(camera.eye, (Vec3{0, 0, 0})) << "the first frame has no elapsed time";
    platform::setVirtualTick(2000);
    processInput();
    EXPECT_VEC_NEAR(camera.eye, 0, 0, -1);
    EXPECT_VEC_NEAR(camera.center, 0, 0, -2);

    resetCamera();
    runFrames(1000, {1016, 1100, 1333, 1500, 1999, 2000});
    EXPECT_VEC_NEAR(camera.eye, 0, 0, -1);

    // The elapsed time wraps with the tick counter.
    resetCamera();
    platform::injectKey('W', false);
    platform::injectKey('D', true);
    runFrames(0xFFFFFF00u, {0x300u}); // 1024 ms across the wrap
    EXPECT_VEC_NEAR(camera.eye, 1.024f, 0, 0);
}

TEST_F(CameraKeysTest, KeysActInTableOrderAndTabResets) {
    // W moves first, then Tab puts the camera back: the frame ends at the origin.
    platform::injectKey('W', true);
    platform::injectKey(0x09, true);
    runFrames(1000, {3000});
    EXPECT_EQ(camera.eye, (Vec3{0, 0, 0}));
    EXPECT_EQ(camera.center, (Vec3{0, 0, -1}));
    // Orbit keys come after Tab: at the origin they have no direction and change nothing.
    platform::injectKey('I', true);
    runFrames(3000, {4000});
    EXPECT_TRUE(finite(camera));
    EXPECT_EQ(camera.eye, (Vec3{0, 0, 0}));
}

// Every camera key alone, held for one second from the camera at (0, 0, 5) looking at the
// origin: which way the eye, the centre and the up vector go (turns do not keep the up vector
// at unit length, so its y may grow).
TEST_F(CameraKeysTest, EachKeyMovesOrTurnsItsOwnWay) {
    struct Expect {
        int key;
        const char* name;
        Vec3 eye, center, up; // signs of the change: -1, 0 or 1 per axis
    };
    const Expect keys[] = {
        {'W', "W forward", {0, 0, -1}, {0, 0, -1}, {0, 0, 0}},
        {'S', "S back", {0, 0, 1}, {0, 0, 1}, {0, 0, 0}},
        {'A', "A left", {-1, 0, 0}, {-1, 0, 0}, {0, 0, 0}},
        {'D', "D right", {1, 0, 0}, {1, 0, 0}, {0, 0, 0}},
        {'R', "R up", {0, 1, 0}, {0, 1, 0}, {0, 0, 0}},
        {'F', "F down", {0, -1, 0}, {0, -1, 0}, {0, 0, 0}},
        {'Q', "Q roll", {0, 0, 0}, {0, 0, 0}, {-1, 1, 0}},
        {'E', "E roll", {0, 0, 0}, {0, 0, 0}, {1, 1, 0}},
        {0x26, "Up tilt", {0, 0, 0}, {0, 1, 1}, {0, 1, 1}},
        {0x28, "Down tilt", {0, 0, 0}, {0, -1, 1}, {0, 1, -1}},
        {0x25, "Left turn", {0, 0, 0}, {-1, 0, 1}, {0, 0, 0}},
        {0x27, "Right turn", {0, 0, 0}, {1, 0, 1}, {0, 0, 0}},
        {0x09, "Tab reset", {0, 0, -1}, {0, 0, -1}, {0, 0, 0}},
        {'I', "I orbit up", {0, 1, -1}, {0, 1, 1}, {0, 1, -1}},
        {'K', "K orbit down", {0, -1, -1}, {0, -1, 1}, {0, 1, 1}},
        {'J', "J orbit left", {-1, 0, -1}, {-1, 0, 1}, {0, 1, 0}},
        {'L', "L orbit right", {1, 0, -1}, {1, 0, 1}, {0, 1, 0}},
    };
    const auto sign = [](float d) { return d > 1e-4f ? 1.0f : d < -1e-4f ? -1.0f : 0.0f; };
    const auto signs = [&](Vec3 to, Vec3 from) {
        return Vec3{sign(to.x - from.x), sign(to.y - from.y), sign(to.z - from.z)};
    };
    for (const Expect& k : keys) {
        resetCamera();
        camera.position(0, 0, 5, 0, 0, 0, 0, 1, 0);
        const Camera before = camera;
        platform::clearInjectedKeys();
        platform::injectKey(k.key, true);
        runFrames(1000, {2000});
        EXPECT_EQ(signs(camera.eye, before.eye), k.eye) << k.name << ": eye";
        EXPECT_EQ(signs(camera.center, before.center), k.center) << k.name << ": centre";
        EXPECT_EQ(signs(camera.up, before.up), k.up) << k.name << ": up";
    }
}

} // namespace
