#include "scenes/tunnel.h"

#include "app/app_state.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/overlays.h"
#include "scenes/black_fog.h"
#include "scenes/interlude.h"
#include "scenes/live_view.h"
#include "scenes/scenes.h"
#include <GL/gl.h>
#include <cmath>
#include <cstddef>
#include <vector>

TunnelState tunnel;
Texture tunnelTextures[3] = {};

namespace {

const char* const pictureFiles[3] = {"texture3.jpg", "texture4.jpg", "texture6.jpg"};

constexpr float pi = 3.1415927f;
constexpr float segmentAngle = 0.06283186f; // 100 segments around the tube
constexpr float fullTurn = 6.2831855f;
constexpr float wallRepeat = 0.63661975f; // 4 / (2 pi): the wall texture 4 times around

// Centre of a ring edge: the axis winds about 0.48 units around z, one turn per 2 pi of depth.
void edgeCentre(float q, float neighbour, float& x, float& y) {
    x = (std::cos(q) + std::cos(neighbour)) / 4;
    y = (std::sin(q) + std::sin(neighbour)) / 4;
}

// The angles around the tube as the segments step through them: segment i runs from
// angle[i] to angle[i + 1]. Accumulated once, in the same float steps as always.
const std::vector<float>& turnAngles() {
    static const std::vector<float> angles = [] {
        std::vector<float> v;
        float a = 0;
        for (; a < fullTurn; a += segmentAngle)
            v.push_back(a);
        v.push_back(a); // the last segment's far side
        return v;
    }();
    return angles;
}

struct TubeVertex {
    float s, t, x, y, z;
};

// One ring edge's points around the turn; each is shared by two neighbouring segments.
void edgePoints(float twist, float cx, float cy, std::vector<float>& px, std::vector<float>& py) {
    const std::vector<float>& angles = turnAngles();
    px.resize(angles.size());
    py.resize(angles.size());
    for (std::size_t i = 0; i < angles.size(); ++i) {
        // Sine and cosine of one local, so both come from one sincos as they always have:
        // separate sin and cos calls may differ in the last bit and move pixels.
        const float angle = angles[i] + twist;
        const float sine = std::sin(angle), cosine = std::cos(angle);
        px[i] = sine + cx;
        py[i] = cosine + cy;
    }
}

// Each ring edge is computed once and shared by its segments, which halves the sine and
// cosine work; the vertices and their order are exactly as before.
void drawTube(float eyeZ) {
    const std::vector<float>& angles = turnAngles();
    const std::size_t segments = angles.size() - 1;
    static std::vector<TubeVertex> vertices; // reused, so a frame allocates nothing
    static std::vector<float> farPX, farPY, nearPX, nearPY;
    vertices.clear();
    // From 2 units behind the camera to 20 units ahead; rings of 0.5 units.
    for (float q = 0; q < 20 - eyeZ; q += 0.5f) {
        if (q < -eyeZ - 2) continue;
        float nearX, nearY, farX, farY;
        edgeCentre(q, q - 0.5f, nearX, nearY);
        edgeCentre(q, q + 0.5f, farX, farY);
        const float nearT = q, farT = q + 0.5f;
        const float nearTwist = 0.5f * std::sin(0.4f * (nearT + eyeZ) + 2 * tunnel.scroll);
        const float farTwist = 0.5f * std::sin(0.4f * (farT + eyeZ) + 2 * tunnel.scroll);
        const float vFar = q - tunnel.scroll, vNear = q + 0.5f - tunnel.scroll;
        edgePoints(farTwist, farX, farY, farPX, farPY);
        edgePoints(nearTwist, nearX, nearY, nearPX, nearPY);
        for (std::size_t i = 0; i < segments; ++i) {
            const float sa = wallRepeat * angles[i], sb = wallRepeat * angles[i + 1];
            vertices.push_back({sa, vFar, farPX[i], farPY[i], -farT});
            vertices.push_back({sb, vFar, farPX[i + 1], farPY[i + 1], -farT});
            vertices.push_back({sb, vNear, nearPX[i + 1], nearPY[i + 1], -nearT});
            vertices.push_back({sa, vNear, nearPX[i], nearPY[i], -nearT});
        }
    }
    // Immediate mode on purpose: with Mesa's software renderer the pixels depend on how the
    // immediate-mode vertex stream is split into draws, so one array draw here (or fewer
    // immediate vertices anywhere earlier) moves pixels in this and later scenes.
    glBindTexture(GL_TEXTURE_2D, tunnelTextures[0]);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    for (const TubeVertex& v : vertices) {
        glTexCoord2f(v.s, v.t);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
}

// Four corners with texture (0, 0), (1, 0), (1, 1), (0, 1) in order.
void ribbonQuad(const float (&corners)[4][3]) {
    const float tex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int c = 0; c < 4; ++c) {
        glTexCoord2fv(tex[c]);
        glVertex3fv(corners[c]);
    }
}

// Two ribbons half a turn apart, 0.07 to 0.1 units off the z axis, from the camera 20 units on.
void drawHelix(float eyeZ) {
    for (int k = 2; k <= 3; ++k) {
        glBindTexture(GL_TEXTURE_2D, tunnelTextures[1]);
        glBegin(GL_QUADS);
        for (float s = -eyeZ; s < 20 - eyeZ; s += 0.5f) {
            const float zA = -s, zB = -s - 0.5f, zC = -s - 1;
            const float b1 = static_cast<float>(k) * pi + s + 0.5f;
            const float b2 = static_cast<float>(k) * pi + s;
            const float o1x = 0.1f * std::sin(b1), o1y = 0.1f * std::cos(b1);
            const float o2x = 0.1f * std::sin(b2), o2y = 0.1f * std::cos(b2);
            const float i1x = 0.07f * std::sin(b1), i1y = 0.07f * std::cos(b1);
            const float i2x = 0.07f * std::sin(b2), i2y = 0.07f * std::cos(b2);
            ribbonQuad({{o1x, o1y, zB}, {i1x, i1y, zB}, {i2x, i2y, zA}, {o2x, o2y, zA}});
            ribbonQuad({{i1x, i1y, zC}, {i1x, i1y, zB}, {i2x, i2y, zA}, {i2x, i2y, zB}});
            ribbonQuad({{i1x, i1y, zC}, {o1x, o1y, zC}, {o2x, o2y, zB}, {i2x, i2y, zB}});
            ribbonQuad({{o1x, o1y, zB}, {o1x, o1y, zC}, {o2x, o2y, zB}, {o2x, o2y, zA}});
        }
        glEnd();
    }
}

} // namespace

int tunnelLoad() {
    const int slot = tunnel.loadStep;
    if (slot >= 3) return 1;
    loadJpegTexture(tunnelTextures, pictureFiles[slot], slot);
    tunnel.loadStep = slot + 1;
    return slot == 2 ? 1 : 0;
}

void tunnelFrame() {
    TunnelState& s = tunnel;
    const std::uint32_t now =
        beginLiveViewFrame({s.tick, s.tickSet, s.runStart}, tunnelSceneIndex, tunnelRunMs);

    const float dt = static_cast<float>(now - s.tick);
    s.depth -= dt * 0.0015f;
    s.scroll += dt * 0.001f;
    s.tick = now;

    // The eye circles the axis at radius 0.2 and looks a quarter turn ahead, about pi deeper.
    const float t = s.depth;
    camera.position(0.2f * std::sin(t), 0.2f * std::cos(t), t, 0.25f * std::sin(t + 1.5707964f),
                    0.25f * std::cos(t + 1.5707964f), t - pi, 0, 1, 0);
    cameraShake(false, 0, 0, 0);
    camera.apply();
    enableBlackFog();

    const float eyeZ = camera.eye.z;
    drawTube(eyeZ);
    drawHelix(eyeZ);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_FOG);

    if (currentScene == tunnelSceneIndex) {
        fadeOverlay(false, 0, 0, 0, 0);
        platform::presentFrame();
    } else {
        glBindTexture(GL_TEXTURE_2D, interludeTextures[0]);
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 256, 256); // into the 256 x 256 slot
    }
}

void tunnelOnMusicSync(int value) {
    if (value != 1) return;
    fadeOverlay(true, 0.005f, 1, 1, 1);
    cameraShake(true, 0.005f, 0.1f, 0);
}

void tunnelUnload() { glDeleteTextures(3, tunnelTextures); }

void resetTunnel() { tunnel = TunnelState{}; }

const Scene tunnelScene{tunnelLoad, tunnelFrame, tunnelOnMusicSync, tunnelUnload};
