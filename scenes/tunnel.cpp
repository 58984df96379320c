#include "scenes/tunnel.h"

#include "platform/platform.h"
#include "render/camera.h"
#include "render/frame_size.h"
#include "render/gfx.h"
#include "render/overlays.h"
#include "scenes/black_fog.h"
#include "scenes/live_view.h"
#include "scenes/scenes.h"
#include <algorithm>
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
// angle[i] to angle[i + 1].
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

// Interleaved as gfx::texturedLayout reads them.
struct TubeVertex {
    float s, t, x, y, z;
};

struct Point {
    float x, y;
};

// The points of the ring edge at depth parameter t around the turn.
void edgePoints(float t, float neighbour, float eyeZ, std::vector<Point>& out) {
    const std::vector<float>& angles = turnAngles();
    float cx, cy;
    edgeCentre(t, neighbour, cx, cy);
    const float twist = 0.5f * std::sin(0.4f * (t + eyeZ) + 2 * tunnel.scroll);
    out.resize(angles.size());
    for (std::size_t i = 0; i < angles.size(); ++i)
        out[i] = {std::sin(angles[i] + twist) + cx, std::cos(angles[i] + twist) + cy};
}

// How many of the 100 segments one segment of a ring spans: the most (1, 2, 4 or 8) whose
// chords stray from the round tube (radius 1) by at most half a pixel at the distance of the
// ring's near edge ahead of the eye. `focalPixels` is the projection's focal length in pixels,
// so a small view or a small picture draws fewer and longer segments, a large one more.
int segmentSpan(float distance, float focalPixels) {
    int span = 1;
    while (span < 8) {
        const float stray = (1 - std::cos(pi * static_cast<float>(2 * span) / 100)) * focalPixels;
        if (stray > 0.5f * distance) break;
        span *= 2;
    }
    return span;
}

// The indices into turnAngles() that a ring with segments of `span` steps uses: every span-th
// one and always the last, so that every ring closes at the same angle.
void spanIndices(int span, std::vector<std::size_t>& out) {
    const std::size_t last = turnAngles().size() - 1;
    out.clear();
    for (std::size_t i = 0; i < last; i += static_cast<std::size_t>(span))
        out.push_back(i);
    out.push_back(last);
}

// Rings of 0.5 units up to 20 units ahead of the camera, drawn near to far, from the last one
// that may reach into view: the view is never turned further than 45 degrees from straight
// ahead, so the walls more than half a unit behind the eye are out of it. The far edge of one
// ring is the near edge of the next. Where the segments grow longer, the ring in between meets
// every point of its near edge, so the tube has no cracks.
void drawTube(float eyeZ, float focalPixels) {
    const std::vector<float>& angles = turnAngles();
    static std::vector<TubeVertex> quads, triangles; // reused, so a frame allocates nothing
    static std::vector<Point> nearPoints, farPoints;
    static std::vector<std::size_t> nearIndices, farIndices;
    static std::vector<int> ringStarts; // where each ring's quads begin
    quads.clear();
    triangles.clear();
    ringStarts.clear();
    bool first = true;
    int nearSpan = 1;
    for (float q = 0; q < 20 - eyeZ; q += 0.5f) {
        if (q + 0.5f < -eyeZ - 0.5f) continue;
        const int span = segmentSpan(q + eyeZ, focalPixels);
        if (first) {
            edgePoints(q, q - 0.5f, eyeZ, nearPoints);
            nearSpan = span;
        } else {
            nearPoints.swap(farPoints);
        }
        first = false;
        edgePoints(q + 0.5f, q, eyeZ, farPoints);
        spanIndices(nearSpan, nearIndices);
        spanIndices(span, farIndices);
        const float vFar = q - tunnel.scroll, vNear = q + 0.5f - tunnel.scroll;
        const float zFar = -(q + 0.5f), zNear = -q;
        auto farVertex = [&](std::size_t i) {
            return TubeVertex{wallRepeat * angles[i], vFar, farPoints[i].x, farPoints[i].y, zFar};
        };
        auto nearVertex = [&](std::size_t i) {
            return TubeVertex{wallRepeat * angles[i], vNear, nearPoints[i].x, nearPoints[i].y,
                              zNear};
        };
        if (span == nearSpan) {
            ringStarts.push_back(static_cast<int>(quads.size()));
            for (std::size_t k = 0; k + 1 < farIndices.size(); ++k) {
                const std::size_t a = farIndices[k], b = farIndices[k + 1];
                quads.push_back(farVertex(a));
                quads.push_back(farVertex(b));
                quads.push_back(nearVertex(b));
                quads.push_back(nearVertex(a));
            }
        } else {
            // Each far segment a..b meets the near points from a to b: a triangle joins it to
            // the near point nearest its middle, and each near segment fans from whichever end
            // of the far segment lies on its side of that point.
            std::size_t n = 0; // the near index at a
            for (std::size_t k = 0; k + 1 < farIndices.size(); ++k) {
                const std::size_t a = farIndices[k], b = farIndices[k + 1];
                const std::size_t shared =
                    *std::lower_bound(nearIndices.begin(), nearIndices.end(), (a + b) / 2);
                triangles.push_back(farVertex(a));
                triangles.push_back(farVertex(b));
                triangles.push_back(nearVertex(shared));
                for (; n + 1 < nearIndices.size() && nearIndices[n + 1] <= b; ++n) {
                    const std::size_t from = nearIndices[n], to = nearIndices[n + 1];
                    triangles.push_back(farVertex(to <= shared ? a : b));
                    triangles.push_back(nearVertex(to));
                    triangles.push_back(nearVertex(from));
                }
            }
        }
        nearSpan = span;
    }
    gfx::bindTexture(tunnelTextures[0]);
    gfx::setColor(1, 1, 1);
    // One draw per ring: the renderer clips a draw as a whole once any of it needs clipping, at
    // a cost that grows with the square of its size, and only the rings at the eye need it.
    ringStarts.push_back(static_cast<int>(quads.size()));
    for (std::size_t r = 0; r + 1 < ringStarts.size(); ++r)
        gfx::draw(gfx::texturedLayout, &quads[static_cast<std::size_t>(ringStarts[r])].s,
                  ringStarts[r + 1] - ringStarts[r], gfx::Primitive::Quads);
    if (!triangles.empty())
        gfx::draw(gfx::texturedLayout, &triangles[0].s, static_cast<int>(triangles.size()),
                  gfx::Primitive::Triangles);
}

// Four corners with texture (0, 0), (1, 0), (1, 1), (0, 1) in order.
void ribbonQuad(gfx::VertexBatch& batch, const float (&corners)[4][3]) {
    const float tex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int c = 0; c < 4; ++c)
        batch.vertex(tex[c][0], tex[c][1], corners[c][0], corners[c][1], corners[c][2]);
}

// Two ribbons half a turn apart, 0.07 to 0.1 units off the z axis, from the camera 20 units on.
void drawHelix(float eyeZ) {
    for (int k = 2; k <= 3; ++k) {
        gfx::bindTexture(tunnelTextures[1]);
        gfx::VertexBatch batch(gfx::Primitive::Quads);
        for (float s = -eyeZ; s < 20 - eyeZ; s += 0.5f) {
            const float zA = -s, zB = -s - 0.5f, zC = -s - 1;
            const float b1 = static_cast<float>(k) * pi + s + 0.5f;
            const float b2 = static_cast<float>(k) * pi + s;
            const float o1x = 0.1f * std::sin(b1), o1y = 0.1f * std::cos(b1);
            const float o2x = 0.1f * std::sin(b2), o2y = 0.1f * std::cos(b2);
            const float i1x = 0.07f * std::sin(b1), i1y = 0.07f * std::cos(b1);
            const float i2x = 0.07f * std::sin(b2), i2y = 0.07f * std::cos(b2);
            ribbonQuad(batch, {{o1x, o1y, zB}, {i1x, i1y, zB}, {i2x, i2y, zA}, {o2x, o2y, zA}});
            ribbonQuad(batch, {{i1x, i1y, zC}, {i1x, i1y, zB}, {i2x, i2y, zA}, {i2x, i2y, zB}});
            ribbonQuad(batch, {{i1x, i1y, zC}, {o1x, o1y, zC}, {o2x, o2y, zB}, {i2x, i2y, zB}});
            ribbonQuad(batch, {{o1x, o1y, zB}, {o1x, o1y, zC}, {o2x, o2y, zB}, {o2x, o2y, zA}});
        }
        batch.draw();
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

void tunnelAdvance(View view) {
    TunnelState& s = tunnel;
    const std::uint32_t now =
        advanceLiveViewClock({s.tick, s.tickSet, s.runStart}, view, tunnelRunMs);

    const float dt = static_cast<float>(now - s.tick);
    s.depth -= dt * 0.0015f;
    s.scroll += dt * 0.001f;
    s.tick = now;

    // The eye circles the axis at radius 0.2 and looks a quarter turn ahead, about pi deeper.
    const float t = s.depth;
    camera.position(0.2f * std::sin(t), 0.2f * std::cos(t), t, 0.25f * std::sin(t + 1.5707964f),
                    0.25f * std::cos(t + 1.5707964f), t - pi, 0, 1, 0);
    cameraShake(false, 0, 0, 0);
    s.view = camera;
    if (view == View::Frame) advanceFade();
}

void tunnelDraw(View view) {
    beginLiveViewDraw(view);
    tunnel.view.apply();
    enableBlackFog();

    const float eyeZ = tunnel.view.eye.z;
    // gluPerspective's 45 degrees over the view's height: the full screen or the live face.
    const int viewHeight = view == View::Frame ? screenUnitsHigh : liveFaceSize;
    drawTube(eyeZ, 0.5f * static_cast<float>(framePixels(viewHeight)) / std::tan(pi / 8));
    drawHelix(eyeZ);
    gfx::setColor(1, 1, 1, 1);
    disableFog();
    if (view == View::Frame) drawFade();
}

void tunnelFrame() {
    tunnelAdvance(View::Frame);
    tunnelDraw(View::Frame);
}

void tunnelOnMusicSync(int value) {
    if (value != 1) return;
    fadeOverlay(true, 0.005f, 1, 1, 1);
    cameraShake(true, 0.005f, 0.1f, 0);
}

void tunnelUnload() { gfx::deleteTextures(tunnelTextures, 3); }

void resetTunnel() { tunnel = TunnelState{}; }

const Scene tunnelScene{tunnelLoad,    tunnelFrame, tunnelOnMusicSync, tunnelUnload,
                        tunnelAdvance, tunnelDraw,  "tunnel",          SceneKind::Tunnel};
