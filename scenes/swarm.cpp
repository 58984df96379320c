#include "scenes/swarm.h"

#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "scenes/scenes.h"
#include <GL/gl.h>
#include <GL/glu.h>
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

// One textured sphere of radius 0.5, compiled once into a display list: every sphere of the
// swarm is the same, and building it anew costs a few thousand sines and vertex calls a frame.
GLuint sphereList = 0;

void callSphere() {
    if (sphereList == 0) {
        GLUquadric* quadric = gluNewQuadric();
        gluQuadricTexture(quadric, GL_TRUE);
        gluQuadricDrawStyle(quadric, GLU_FILL);
        sphereList = glGenLists(1);
        glNewList(sphereList, GL_COMPILE);
        gluSphere(quadric, 0.5, 20, 20);
        glEndList();
        gluDeleteQuadric(quadric);
    }
    glCallList(sphereList);
}

void drawSpheres() {
    glTranslatef(swarm.swarmX, 0, 0);
    glRotatef(swarm.swarmSpin[0], 1, 0, 0);
    glRotatef(swarm.swarmSpin[1], 0, 1, 0);
    glRotatef(swarm.swarmSpin[2], 0, 0, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 0.6f);
    glBindTexture(GL_TEXTURE_2D, swarmTextures[1]);
    for (const Vec3& p : swarm.spherePos) {
        glPushMatrix();
        glTranslatef(p.x, p.y, p.z);
        callSphere();
        glPopMatrix();
    }
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
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
    if (swarm.swarmState == 2 && swarm.swarmX >= flightEnd) advanceScene();
    swarm.lastTick = now;
}

void swarmDraw(View) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawBackdrop(swarmTextures[0], 0.125f, 0.875f); // middle three quarters
    camera.apply();
    drawSpheres();
}

void swarmFrame() {
    swarmAdvance(View::Frame);
    swarmDraw(View::Frame);
}

void swarmUnload() {
    glDeleteTextures(2, swarmTextures);
    swarmTextures[0] = swarmTextures[1] = 0;
    if (sphereList != 0) glDeleteLists(sphereList, 1);
    sphereList = 0;
}

} // namespace

const Scene swarmScene{swarmLoad,    swarmFrame, noOperation,   swarmUnload,
                       swarmAdvance, swarmDraw,  "sphere swarm"};
