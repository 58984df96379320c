// The shared look-at camera and the camera keys polled once per frame.
#include "render/camera.h"

#include "platform/platform.h"
#include "render/input_hooks.h"

#include "render/gfx.h"

#include <cmath>
#include <cstdint>

Camera camera;

namespace {

Vec3 scaled(Vec3 v, float s) { return {v.x * s, v.y * s, v.z * s}; }

bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// v scaled to unit length, as the vector code computes it. False when v has no direction:
// zero length (eye on the point looked at, parallel axes) or not finite. Vectors too short
// for the float computation are normalised in double, so only true zero fails.
bool normalized(Vec3 v, Vec3& out) {
    const Vec3 unit = vecNormalize(v);
    if (finite(unit)) {
        out = unit;
        return true;
    }
    const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
    if (!(length > 0) || !std::isfinite(length)) return false;
    out = {float(v.x / length), float(v.y / length), float(v.z / length)};
    return true;
}

bool inputStarted = false;
std::uint32_t lastInputTick = 0;

} // namespace

void Camera::position(float eyeX, float eyeY, float eyeZ, float centerX, float centerY,
                      float centerZ, float upX, float upY, float upZ) {
    eye = {eyeX, eyeY, eyeZ};
    center = {centerX, centerY, centerZ};
    up = {upX, upY, upZ};
}

// Each step needs a direction; a step whose direction has no length is skipped.
void Camera::move(float amount, float right, float upward, float back) {
    Vec3 direction;
    auto shift = [this](Vec3 offset) {
        eye = vecAdd(eye, offset);
        center = vecAdd(center, offset);
    };
    if (right != 0 && normalized(vecCross(vecSubtract(center, eye), up), direction))
        shift(scaled(direction, amount * right));
    if (upward != 0 && normalized(up, direction)) shift(scaled(direction, amount * upward));
    if (back != 0 && normalized(vecSubtract(eye, center), direction))
        shift(scaled(direction, amount * back));
}

// Rotations about the camera's own axes; a step whose new axis has no length is skipped.
void Camera::turn(float angle, float pitch, float yaw, float roll) {
    Vec3 forward = vecSubtract(center, eye);
    Vec3 side = vecCross(forward, up);
    Vec3 axis;
    if (pitch != 0) {
        const float theta = angle * pitch;
        if (normalized(vecAdd(scaled(forward, std::cos(theta)), scaled(up, std::sin(theta))),
                       axis)) {
            forward = axis;
            up = vecCross(side, forward);
        }
    }
    if (yaw != 0) {
        const float theta = angle * yaw;
        if (normalized(vecSubtract(scaled(forward, std::cos(theta)), scaled(side, std::sin(theta))),
                       axis)) {
            forward = axis;
            side = vecCross(forward, up);
        }
    }
    if (roll != 0) {
        const float theta = angle * roll;
        if (normalized(vecAdd(scaled(side, std::cos(theta)), scaled(up, std::sin(theta))), axis))
            up = vecCross(axis, forward);
    }
    center = vecAdd(eye, forward);
}

// A point on the eye itself gives no direction to face: the camera stays as it is.
void Camera::lookAt(Vec3 point) {
    Vec3 direction;
    if (!normalized(vecSubtract(point, eye), direction)) return;
    const Vec3 side = vecCross(vecSubtract(center, eye), up);
    up = vecCross(side, direction);
    if (up == Vec3{0, 0, 0}) up = {0, 1, 0};
    center = vecAdd(eye, direction);
}

// An eye on the pivot has no direction to swing along: the camera stays as it is.
void Camera::orbit(Vec3 pivot, float angle, float pitch, float yaw, float roll) {
    Vec3 unused;
    if (!normalized(vecSubtract(pivot, eye), unused)) return;
    lookAt(pivot);
    if (roll != 0) turn(angle, 0, 0, roll);
    Vec3 offset = vecSubtract(eye, pivot);
    const Vec3 side = vecCross(vecSubtract(center, eye), up);
    if (pitch != 0) {
        const float theta = angle * pitch;
        offset = vecAdd(scaled(offset, std::cos(theta)), scaled(up, std::sin(theta)));
    }
    if (yaw != 0) {
        const float theta = angle * yaw;
        offset = vecSubtract(scaled(offset, std::cos(theta)), scaled(side, std::sin(theta)));
    }
    eye = vecAdd(pivot, offset);
    lookAt(pivot);
}

void Camera::apply() const {
    gfx::loadMatrix(
        lookAtMatrix(eye.x, eye.y, eye.z, center.x, center.y, center.z, up.x, up.y, up.z));
}

// Rates are per millisecond, so holding a key moves the camera by the same amount whatever the
// frame rate. Keys act in this order within one frame.
void processInput() {
    if (!inputStarted) {
        inputStarted = true;
        lastInputTick = platform::tickCount();
    }
    const std::uint32_t elapsed = platform::tickCount() - lastInputTick;
    const float t = float(elapsed) * 0.01f;
    lastInputTick = platform::tickCount();

    using platform::keyDown;
    if (keyDown('W')) camera.move(t * 0.1f, 0, 0, -1);
    if (keyDown('S')) camera.move(t * 0.1f, 0, 0, 1);
    if (keyDown('A')) camera.move(t * 0.1f, -1, 0, 0);
    if (keyDown('D')) camera.move(t * 0.1f, 1, 0, 0);
    if (keyDown('R')) camera.move(t * 0.1f, 0, 1, 0);
    if (keyDown('F')) camera.move(t * 0.1f, 0, -1, 0);
    if (keyDown('Q')) camera.turn(t * 0.08f, 0, 0, 1);
    if (keyDown('E')) camera.turn(t * 0.08f, 0, 0, -1);
    if (keyDown(0x26)) camera.turn(t * 0.012f, 1, 0, 0);            // up arrow
    if (keyDown(0x28)) camera.turn(t * 0.012f, -1, 0, 0);           // down arrow
    if (keyDown(0x25)) camera.turn(t * 0.012f, 0, 1, 0);            // left arrow
    if (keyDown(0x27)) camera.turn(t * 0.012f, 0, -1, 0);           // right arrow
    if (keyDown(0x09)) camera.position(0, 0, 0, 0, 0, -1, 0, 1, 0); // Tab
    const Vec3 origin{0, 0, 0};
    if (keyDown('I')) camera.orbit(origin, t * 0.01f, 1, 0, 0);
    if (keyDown('K')) camera.orbit(origin, t * 0.01f, -1, 0, 0);
    if (keyDown('J')) camera.orbit(origin, t * 0.01f, 0, 1, 0);
    if (keyDown('L')) camera.orbit(origin, t * 0.01f, 0, -1, 0);
    if (keyDown('G')) runPhaseStepAction();
}

void resetCamera() {
    camera = Camera{};
    inputStarted = false;
    lastInputTick = 0;
}
