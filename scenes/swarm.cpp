#include "scenes/swarm.h"

#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "render/gfx.h"
#include "render/shapes.h"
#include "scenes/scenes.h"
#include <cmath>

Texture swarmTextures[2] = {};
SwarmState swarm;

void resetSwarm() { swarm = SwarmState{}; }

namespace {

constexpr std::uint32_t holdEndsAfter = 18000; // ms after the first frame
constexpr float flightRate = 0.001f;           // units per ms
constexpr float spinRate = 0.1f;               // degrees per ms about each axis
constexpr float wanderStep = 0.08f;            // units per frame
constexpr float flightEnd = 7;

int swarmLoad() {
    if (swarm.loadStep == 0) {
        loadJpegTexture(swarmTextures, "friends.jpg", 0);
        swarm.loadStep = 1;
        return 0;
    }
    if (swarm.loadStep == 1) {
        loadJpegTexture(swarmTextures, "texture6.jpg", 1);
        swarm.loadStep = 2;
    }
    return 1;
}

// Per frame, not per ms: the wander speeds up with the frame rate (the intended look).
void wander(std::uint32_t tick) {
    for (int n = 0; n < swarmSphereCount; ++n) {
        const float angle = 0.001f * static_cast<float>(n) * static_cast<float>(tick);
        const float s = std::sin(angle);
        swarm.spherePos[n].x += wanderStep * s;
        swarm.spherePos[n].y += wanderStep * std::cos(angle);
        swarm.spherePos[n].z += wanderStep * s;
    }
}

// One textured sphere of radius 0.5 in a mesh built once: every sphere of the swarm is the
// same.
gfx::Mesh sphere;

void drawSphere() {
    if (!gfx::meshAlive(sphere)) {
        const SphereMesh shape = buildSphere(0.5f, 20, 20);
        sphere = gfx::createMesh(gfx::texturedLayout, shape.vertices.data(),
                                 static_cast<int>(shape.vertices.size() / 5),
                                 gfx::Primitive::Triangles, shape.indices);
    }
    gfx::draw(sphere);
}

void drawSpheres() {
    gfx::translate(swarm.swarmX, 0, 0);
    gfx::rotate(swarm.swarmSpin[0], 1, 0, 0);
    gfx::rotate(swarm.swarmSpin[1], 0, 1, 0);
    gfx::rotate(swarm.swarmSpin[2], 0, 0, 1);
    gfx::setBlend(true);
    gfx::blendAlpha();
    gfx::setColor(1, 1, 1, 0.6f);
    gfx::bindTexture(swarmTextures[1]);
    for (const Vec3& p : swarm.spherePos) {
        gfx::pushMatrix();
        gfx::translate(p.x, p.y, p.z);
        drawSphere();
        gfx::popMatrix();
    }
    gfx::setColor(1, 1, 1, 1);
    gfx::setBlend(false);
}

void swarmAdvance(View) {
    const std::uint32_t now = platform::tickCount();
    if (!swarm.started) {
        swarm.started = true;
        swarm.startTick = now;
    }
    if (!swarm.ticking) {
        swarm.ticking = true;
        swarm.lastTick = now;
    }
    if (swarm.swarmState == 1 && now - swarm.startTick >= holdEndsAfter) swarm.swarmState = 2;
    camera.position(0, 0, 7, 0, 0, -1, 0, 1, 0);

    wander(now);
    const float dt = static_cast<float>(now - swarm.lastTick);
    for (float& angle : swarm.swarmSpin)
        angle += spinRate * dt;
    if (swarm.swarmState != 1) swarm.swarmX += flightRate * dt;
    if (swarm.swarmState == 0 && swarm.swarmX >= 0) {
        swarm.swarmX = 0;
        swarm.swarmState = 1;
    }
    if (swarm.swarmState == 2 && swarm.swarmX >= flightEnd) endCurrentEntry();
    swarm.lastTick = now;
}

void swarmDraw(View) {
    gfx::clear(true, true);
    drawBackdrop(swarmTextures[0], 0.125f, 0.875f); // middle three quarters
    camera.apply();
    drawSpheres();
}

void swarmFrame() {
    swarmAdvance(View::Frame);
    swarmDraw(View::Frame);
}

void swarmUnload() {
    gfx::deleteTextures(swarmTextures, 2);
    swarmTextures[0] = swarmTextures[1] = 0;
    gfx::deleteMesh(sphere);
}

} // namespace

const Scene swarmScene{swarmLoad,    swarmFrame, noOperation,    swarmUnload,
                       swarmAdvance, swarmDraw,  "sphere swarm", SceneKind::Swarm};
