#include "scenes/hall.h"

#include "render/backdrop.h"
#include "render/camera.h"
#include "render/gfx.h"
#include "render/overlays.h"
#include "scenes/black_fog.h"
#include "scenes/live_view.h"
#include "scenes/scenes.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

HallState hall;
Texture hallTextures[5] = {};

namespace {

const char* const pictureFiles[5] = {"texture5.jpg", "tuli.jpg", "tuli_alpha.jpg", "texture2.jpg",
                                     "texture7.jpg"};

void pillar(float x, float z, std::vector<float>& vertices) {
    const float l = x - 0.2f, r = x + 0.2f, n = z + 0.2f, f = z - 0.2f;
    const float sides[4][3][4] = {
        // normal, then x of the four corners, then z of the four corners
        {{0, 0, 1}, {l, r, r, l}, {n, n, n, n}},
        {{1, 0, 0}, {r, r, r, r}, {n, f, f, n}},
        {{0, 0, -1}, {r, l, l, r}, {f, f, f, f}},
        {{-1, 0, 0}, {l, l, l, l}, {f, n, n, f}},
    };
    const float y[4] = {2, 2, 0, 0};
    const float tex[4][2] = {{0, 0}, {0, 2}, {2, 2}, {2, 0}};
    for (const auto& side : sides)
        for (int c = 0; c < 4; ++c)
            vertices.insert(vertices.end(), {tex[c][0], tex[c][1], side[1][c], y[c], side[2][c]});
}

constexpr int pillarFloats = 4 * 4 * 5; // four sides of four vertices, s t x y z each

// Every pillar of the hall, built once: they never move. `pillarCentres` holds x, z of each.
std::vector<float> pillarVertices, pillarCentres;
gfx::Mesh pillars;

void buildPillars() {
    if (!pillarVertices.empty()) return;
    for (float x = -15; x < 15; x += 2) {
        for (float z = -15; z < 15; z += 2) {
            // The four pillars around the centre are left out for the flames.
            if (std::abs(static_cast<int>(x)) < 3 && std::abs(static_cast<int>(z)) < 3) continue;
            pillar(x, z, pillarVertices);
            pillarCentres.insert(pillarCentres.end(), {x, z});
        }
    }
}

// Reduced flashing: how opaque pillar `pillar` is, by its centre's distance from the eye. The
// walk brushes past a pillar every second; close up its stripes and gold edges sweep across
// most of the view in a few frames. Near the eye the pillars fade out instead.
float gentlePillarOpacity(size_t pillar) {
    const float dx = pillarCentres[2 * pillar] - hall.eyeX;
    const float dz = pillarCentres[2 * pillar + 1] - hall.eyeZ;
    return std::clamp((std::sqrt(dx * dx + dz * dz) - 1.0f) / 1.5f, 0.0f, 1.0f);
}

// A pillar's sides wind clockwise seen from outside (counter-clockwise in the mirror); the
// sides turned away are always behind the others, and its open ends lie in the floor and the
// ceiling, where no eye in the hall sees into them.
void beginPillars(bool mirrored) {
    gfx::setFrontClockwise(!mirrored);
    gfx::setCulling(true);
    gfx::bindTexture(hallTextures[4]);
}

void endPillars() {
    gfx::setCulling(false);
    gfx::setFrontClockwise(false);
}

// The opaque pillars: all of them, or with reduced flashing those not fading near the eye.
void drawPillars(bool mirrored) {
    buildPillars();
    beginPillars(mirrored);
    if (!gentleEffects()) {
        if (!gfx::meshAlive(pillars))
            pillars =
                gfx::createMesh(gfx::texturedLayout, pillarVertices.data(),
                                static_cast<int>(pillarVertices.size() / 5), gfx::Primitive::Quads);
        gfx::draw(pillars);
    } else {
        static std::vector<float> opaque;
        opaque.clear();
        for (size_t i = 0; i < pillarCentres.size() / 2; ++i) {
            if (gentlePillarOpacity(i) < 1) continue;
            const float* v = &pillarVertices[i * pillarFloats];
            opaque.insert(opaque.end(), v, v + pillarFloats);
        }
        gfx::draw(gfx::texturedLayout, opaque.data(), static_cast<int>(opaque.size() / 5),
                  gfx::Primitive::Quads);
    }
    endPillars();
}

// Reduced flashing: the pillars fading near the eye, blended over what lies behind them, so
// drawn last in their pass.
void drawFadingPillars(bool mirrored) {
    if (!gentleEffects()) return;
    beginPillars(mirrored);
    gfx::setBlend(true);
    gfx::blendAlpha();
    for (size_t i = 0; i < pillarCentres.size() / 2; ++i) {
        const float opacity = gentlePillarOpacity(i);
        if (opacity <= 0 || opacity >= 1) continue;
        gfx::setColor(1, 1, 1, opacity);
        gfx::draw(gfx::texturedLayout, &pillarVertices[i * pillarFloats], pillarFloats / 5,
                  gfx::Primitive::Quads);
    }
    gfx::setColor(1, 1, 1, 1);
    gfx::setBlend(false);
    endPillars();
}

void drawFlames() {
    const float a = hall.flameAngle;
    for (int i = 0; i < 3; ++i) {
        gfx::pushMatrix();
        gfx::translate(0, 0.8f, 0);
        if (i == 0) {
            gfx::rotate(a + 3, 1, 0, 0);
            gfx::rotate(0.5f * a, 0, 1, 0);
            gfx::rotate(a, 0, 0, 1);
        } else if (i == 1) {
            gfx::rotate(a, 1, 0, 0);
            gfx::rotate(a + 3, 0, 1, 0);
            gfx::rotate(0.5f * a, 0, 0, 1);
        } else {
            gfx::rotate(0.5f * a, 1, 0, 0);
            gfx::rotate(a, 0, 1, 0);
            gfx::rotate(a + 3, 0, 0, 1);
        }
        gfx::setBlend(true);
        gfx::setBlendFunction(gfx::BlendFactor::DstColor, gfx::BlendFactor::Zero);
        gfx::bindTexture(hallTextures[1]);
        drawCentredUnitQuad();
        // The light pass lies exactly on the mask pass: it must pass the depth test where the
        // mask has just written the same depth, or the flames would stay dark cut-outs.
        gfx::setBlendFunction(gfx::BlendFactor::One, gfx::BlendFactor::One);
        gfx::bindTexture(hallTextures[2]);
        gfx::setDepthLessOrEqual(true);
        drawCentredUnitQuad();
        gfx::setDepthLessOrEqual(false);
        gfx::setBlend(false);
        gfx::popMatrix();
    }
}

// The pillars and the ceiling: everything of the hall but the flames.
void drawStructure(bool mirrored) {
    drawPillars(mirrored);
    gfx::bindTexture(hallTextures[0]);
    const float ceiling[] = {0,  0,  -15, 2, -15, 30, 0,  15,  2, -15,
                             30, 17, 15,  2, 15,  0,  17, -15, 2, 15};
    gfx::draw(gfx::texturedLayout, ceiling, 4, gfx::Primitive::Quads);
}

void drawFloor() {
    gfx::bindTexture(hallTextures[3]);
    const float floor[] = {0,  0,  -15, 0, -15, 30, 0,  15,  0, -15,
                           30, 30, 15,  0, 15,  0,  30, -15, 0, 15};
    gfx::draw(gfx::texturedLayout, floor, 4, gfx::Primitive::Quads);
}

} // namespace

void hallWalk(float dt) {
    HallState& s = hall;
    const float step = dt * hallPathSpeed;
    // Exact comparisons: every corner sets one coordinate to exactly +-3.5 and nudges the
    // other 0.002 off its corner value, so exactly one side's condition holds.
    if (s.eyeZ == hallCorner && s.eyeX < hallCorner) {
        s.eyeX += step;
        if (s.eyeX >= hallCorner) {
            s.eyeX = hallCorner;
            s.eyeZ = hallCorner - 0.002f;
        }
    } else if (s.eyeX == hallCorner && s.eyeZ < hallCorner) {
        s.eyeZ -= step;
        if (s.eyeZ <= -hallCorner) {
            s.eyeZ = -hallCorner;
            s.eyeX = hallCorner + 0.002f;
        }
    } else if (s.eyeZ == -hallCorner && s.eyeX > -hallCorner) {
        s.eyeX -= step;
        if (s.eyeX <= -hallCorner) {
            s.eyeX = -hallCorner;
            s.eyeZ = -hallCorner + 0.002f;
        }
    } else if (s.eyeX == -hallCorner && s.eyeZ > -hallCorner) {
        s.eyeZ += step;
        if (s.eyeZ >= hallCorner) {
            s.eyeZ = hallCorner;
            s.eyeX = -hallCorner + 0.002f;
        }
    }
}

int hallLoad() {
    const int slot = hall.loadStep;
    if (slot >= 5) return 1;
    loadJpegTexture(hallTextures, pictureFiles[slot], slot);
    hall.loadStep = slot + 1;
    return slot == 4 ? 1 : 0;
}

void hallAdvance(View view) {
    HallState& s = hall;
    const std::uint32_t now =
        advanceLiveViewClock({s.tick, s.tickSet, s.runStart}, view, hallRunMs);

    hallWalk(static_cast<float>(now - s.tick));
    s.flameAngle += static_cast<float>(now - s.tick) * 0.08f;
    s.tick = now;

    camera.position(s.eyeX, 0.5f, s.eyeZ, 0, 0.5f, 0, 0, 1, 0);
    s.view = camera;
    if (view == View::Frame) advanceFade();
}

void hallDraw(View view) {
    beginLiveViewDraw(view);
    hall.view.apply();
    enableBlackFog();

    // The hall mirrored below the floor, the floor laid over it at 70%, then the hall itself.
    // Everything of the hall lies above the floor and everything of the mirror image below it,
    // so the opaque hall can go first and hide what it covers of the image; only the flames,
    // which blend with what lies behind them, must come after the floor.
    gfx::setDepthTest(true);
    drawStructure(false);
    gfx::pushMatrix();
    gfx::scale(1, -1, 1);
    drawStructure(true);
    drawFlames();
    drawFadingPillars(true);
    gfx::popMatrix();
    gfx::setBlend(true);
    gfx::blendAlpha();
    gfx::setColor(1, 1, 1, 0.7f);
    drawFloor();
    gfx::setBlend(false);
    gfx::setColor(1, 1, 1, 1);
    drawFlames();
    drawFadingPillars(false);

    if (view == View::Frame) drawFade();
    disableFog();
}

void hallFrame() {
    hallAdvance(View::Frame);
    hallDraw(View::Frame);
}

void hallUnload() {
    gfx::deleteTextures(hallTextures, 5);
    gfx::deleteMesh(pillars);
}

void resetHall() { hall = HallState{}; }

const Scene hallScene{hallLoad,    hallFrame, noOperation,   hallUnload,
                      hallAdvance, hallDraw,  "pillar hall", SceneKind::Hall};
