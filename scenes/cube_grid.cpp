#include "scenes/cube_grid.h"

#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "render/gfx.h"
#include "render/input_hooks.h"
#include "render/overlays.h"
#include "scenes/scenes.h"
#include <cmath>

CubeGridState cubeGrid;
Texture cubeGridTextures[9] = {};

namespace {

const char* const pictureFiles[9] = {
    "mindcontrol.jpg",
    "texture4.jpg",
    "texture5.jpg",
    "realtime_polygons.jpg",
    "realtime_polygons_alpha.jpg",
    "so_many.jpg",
    "so_many_alpha.jpg",
    "count.jpg",
    "count_alpha.jpg",
};

constexpr float flyRate = 0.0004f;     // units per ms in phase 0
constexpr float flyApartRate = 0.001f; // 2.5 x flyRate, phase 8
constexpr float bannerSpeed = 0.2f;    // pixels per ms
constexpr float rollPerUnit = 144.0f;  // phase-0 roll, degrees per unit of offset

// A short view shake that dies away, on every step of the lattices' growth.
void kickCamera() { cameraShake(true, 0.005f, 0.05f, 0.05f); }

void addTumble(float dt, float x, float y, float z) {
    cubeGrid.tumble[0] += x * dt;
    cubeGrid.tumble[1] += y * dt;
    cubeGrid.tumble[2] += z * dt;
}

void updatePhase(std::uint32_t now, float dt) {
    CubeGridState& s = cubeGrid;
    switch (s.phase) {
    case 0: // fly in: the lattices roll towards each other while their faces close in
        s.innerX += flyRate * dt;
        s.outerX -= flyRate * dt;
        s.explode = s.outerX;
        if (s.innerX >= 0) {
            s.phase = 1;
            kickCamera();
            s.gridCount += 1;
            s.innerX = s.outerX = s.explode = 0;
            s.phaseTick = now;
        }
        break;
    case 1:
        if (now - s.phaseTick >= 400) {
            s.phase = 2;
            kickCamera();
            s.phaseTick = now;
            s.gridCount += 1;
        }
        break;
    case 2:
        if (now - s.phaseTick >= 400) {
            s.phase = 3;
            kickCamera();
            s.gridCount += 1;
            s.phaseTick = 0; // phase 4 starts its timer on its own first frame
        }
        break;
    case 3: // waits for the value-0 music cue, unless it came early and was kept
        if (s.onceCueKept) {
            s.onceCueKept = false;
            s.phase = 4;
        }
        break;
    case 4:
        if (s.phaseTick == 0) s.phaseTick = now;
        addTumble(dt, 0.1f, 0.05f, 0.08f);
        if (now - s.phaseTick >= 4000) {
            s.phase = 5;
            s.phaseTick = now;
        }
        break;
    case 5:
        addTumble(dt, -0.08f, 0.13f, 0.1f);
        if (now - s.phaseTick >= 4000) {
            s.phase = 6;
            s.phaseTick = now;
        }
        break;
    case 6: // wobble; ends on a music sync
        addTumble(dt, 0.11f, -0.2f, -0.08f);
        s.cubeSize = 2 + std::sin(0.001f * static_cast<float>(now - s.phaseTick));
        break;
    case 7: // swing; keeps phase 6's timer
        addTumble(dt, 0.055f, -0.1f, -0.04f);
        s.cubeSize = 2 + std::sin(0.0005f * static_cast<float>(now - s.phaseTick));
        break;
    case 8: // fly apart as 5 x 5 x 5 lattices
        s.gridCount = 5;
        s.cubeSize = 2;
        addTumble(dt, 0.055f, -0.1f, -0.04f);
        s.innerX += flyApartRate * dt;
        s.outerX -= flyApartRate * dt;
        if (s.innerX >= 6) {
            endCurrentEntry();
            s.innerX = 6;
            s.outerX = -6;
        }
        break;
    default:
        break;
    }
}

void updateBanner(std::uint32_t now, float dt) {
    CubeGridState& s = cubeGrid;
    if (s.bannerWaiting == 0) {
        s.bannerX += bannerSpeed * dt;
        if (s.bannerX >= 1140) {
            s.bannerX = -500;
            s.bannerWaiting = 1;
            s.bannerTick = now;
        }
    }
    if (s.bannerWaiting == 1 && now - s.bannerTick >= 3000) {
        s.bannerIndex += 1;
        s.bannerWaiting = 0;
    }
}

// Interleaved as gfx::texturedNormalLayout reads them.
struct CubeVertex {
    float s, t;
    float nx, ny, nz;
    float x, y, z;
};

// The lattice cube that every cube of a lattice is drawn from, remade in place when its size or
// its push changes.
gfx::Mesh latticeCube;
float latticeCubeSize = 0, latticeCubePush = 0;

// The six faces of a cube of half-size h, each pushed out by e along its normal, into the
// lattice cube.
void setCubeArray(float h, float e) {
    if (gfx::meshAlive(latticeCube) && h == latticeCubeSize && e == latticeCubePush) return;
    struct Face {
        float normal[3];
        float corner[4][3]; // at texture (0, 0), (0, 1), (1, 1), (1, 0)
    };
    const float p = h + e;
    const Face faces[6] = {
        {{0, 0, 1}, {{-h, h, p}, {h, h, p}, {h, -h, p}, {-h, -h, p}}},
        {{1, 0, 0}, {{p, h, h}, {p, h, -h}, {p, -h, -h}, {p, -h, h}}},
        {{0, 0, -1}, {{h, h, -p}, {-h, h, -p}, {-h, -h, -p}, {h, -h, -p}}},
        {{-1, 0, 0}, {{-p, h, -h}, {-p, h, h}, {-p, -h, h}, {-p, -h, -h}}},
        {{0, 1, 0}, {{-h, p, -h}, {h, p, -h}, {h, p, h}, {-h, p, h}}},
        {{0, -1, 0}, {{h, -p, -h}, {-h, -p, -h}, {-h, -p, h}, {h, -p, h}}},
    };
    const float texCorners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    CubeVertex vertices[24];
    int i = 0;
    for (const Face& face : faces) {
        for (int c = 0; c < 4; ++c) {
            vertices[i++] = {texCorners[c][0],  texCorners[c][1], face.normal[0],
                             face.normal[1],    face.normal[2],   face.corner[c][0],
                             face.corner[c][1], face.corner[c][2]};
        }
    }
    if (gfx::meshAlive(latticeCube))
        gfx::updateMesh(latticeCube, gfx::texturedNormalLayout, &vertices[0].s, 24);
    else
        latticeCube =
            gfx::createMesh(gfx::texturedNormalLayout, &vertices[0].s, 24, gfx::Primitive::Quads);
    latticeCubeSize = h;
    latticeCubePush = e;
}

void drawLattice(float factor, std::uint32_t now) {
    const CubeGridState& s = cubeGrid;
    const int n = s.gridCount;
    const float size = s.cubeSize;
    const float gap = s.cubeGap;
    const float h = size * factor / static_cast<float>(n);
    const float t = static_cast<float>(now - s.phaseTick);
    const float r = (size + gap * static_cast<float>(n - 1)) * 0.5f;
    auto place = [&](int m) {
        const float fm = static_cast<float>(m);
        return fm * size / static_cast<float>(n - 1) - r + fm * gap;
    };
    auto wave = [&](int m) {
        return std::sin(0.0031415927f * t - 0.31415927f * static_cast<float>(m));
    };
    setCubeArray(h, s.explode);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            for (int k = 0; k < n; ++k) {
                gfx::pushMatrix();
                if (s.phase == 7) gfx::rotate(wave(j) * 40, 0, 1, 0); // layers swing about y
                if (n > 1) gfx::translate(place(i), place(j), place(k));
                if (s.phase == 6) { // every cube wobbles about its own centre
                    gfx::rotate(wave(i) * 20, 1, 0, 0);
                    gfx::rotate(wave(j) * 20, 0, 1, 0);
                    gfx::rotate(wave(k) * 20, 0, 0, 1);
                }
                gfx::draw(latticeCube);
                gfx::popMatrix();
            }
        }
    }
}

void applyTumble() {
    gfx::rotate(cubeGrid.tumble[0], 1, 0, 0);
    gfx::rotate(cubeGrid.tumble[1], 0, 1, 0);
    gfx::rotate(cubeGrid.tumble[2], 0, 0, 1);
}

void drawLattices(std::uint32_t now) {
    const CubeGridState& s = cubeGrid;
    gfx::setBlend(true);
    gfx::setColor(1, 1, 1, 0.8f);
    gfx::blendAlpha();
    gfx::bindTexture(cubeGridTextures[1]);
    // The fly-in roll about y is outside the push, so it turns the outer lattice too.
    if (s.phase == 0) gfx::rotate(s.innerX * rollPerUnit, 0, 1, 0);
    gfx::pushMatrix();
    gfx::translate(s.innerX, 0, 0);
    if (s.phase == 0) gfx::rotate(s.innerX * rollPerUnit, 1, 0, 0);
    if (s.phase >= 4) applyTumble();
    drawLattice(0.45f, now);
    gfx::popMatrix();

    gfx::setColor(1, 1, 1, 0.5f);
    gfx::blendAlpha();
    gfx::bindTexture(cubeGridTextures[2]);
    gfx::pushMatrix();
    gfx::translate(s.outerX, 0, 0);
    if (s.phase == 0) gfx::rotate(s.outerX * rollPerUnit, 1, 0, 0);
    if (s.phase >= 4) applyTumble();
    drawLattice(0.5f, now);
    gfx::popMatrix();
    gfx::setBlend(false);
}

void bannerQuad(float a, float b) {
    const float quad[] = {0, 0, -a, -b, 1, 0, a, -b, 1, 1, a, b, 0, 1, -a, b};
    gfx::draw(gfx::textured2dLayout, quad, 4, gfx::Primitive::Quads);
}

// The plain picture masks the frame (white keeps, black clears), the "_alpha" one adds light.
void drawBanner() {
    struct Banner {
        int maskSlot, addSlot;
        float halfWidth, halfHeight;
    };
    static const Banner banners[3] = {{3, 4, 196, 75}, {5, 6, 200, 50}, {7, 8, 450, 50}};
    beginPixelPass();
    gfx::setBlend(true);
    gfx::translate(cubeGrid.bannerX, 410, 0);
    if (cubeGrid.bannerIndex >= 0 && cubeGrid.bannerIndex < 3) {
        const Banner& banner = banners[cubeGrid.bannerIndex];
        gfx::setBlendFunction(gfx::BlendFactor::DstColor, gfx::BlendFactor::Zero);
        gfx::bindTexture(cubeGridTextures[banner.maskSlot]);
        bannerQuad(banner.halfWidth, banner.halfHeight);
        gfx::setBlendFunction(gfx::BlendFactor::One, gfx::BlendFactor::One);
        gfx::bindTexture(cubeGridTextures[banner.addSlot]);
        bannerQuad(banner.halfWidth, banner.halfHeight);
    }
    gfx::setBlend(false);
    endPixelPass();
}

} // namespace

int cubeGridLoad() {
    const int slot = cubeGrid.loadStep;
    if (slot >= 9) return 1;
    loadJpegTexture(cubeGridTextures, pictureFiles[slot], slot);
    cubeGrid.loadStep = slot + 1;
    return slot == 8 ? 1 : 0;
}

void cubeGridAdvance(View) {
    CubeGridState& s = cubeGrid;
    const std::uint32_t now = platform::tickCount();
    if (!s.lastTickSet) {
        s.lastTick = now;
        s.lastTickSet = true;
    }
    if (!s.phaseTickSet) {
        s.phaseTick = now;
        s.phaseTickSet = true;
    }
    if (!s.bannerTickSet) {
        s.bannerTick = now;
        s.bannerTickSet = true;
    }
    const float dt = static_cast<float>(now - s.lastTick);
    updateBanner(now, dt);
    updatePhase(now, dt);
    s.lastTick = now;

    camera.position(0, 0, 6, 0, 0, -1, 0, 1, 0);
    cameraShake(false, 0, 0, 0);
    advanceFade();
}

void cubeGridDraw(View) {
    gfx::clear(true, true);
    drawBackdrop(cubeGridTextures[0], 0.125f, 0.875f); // rows 0.125 to 0.875 show
    camera.apply();
    drawLattices(cubeGrid.lastTick);
    drawBanner();
    drawFade();
}

void cubeGridFrame() {
    cubeGridAdvance(View::Frame);
    cubeGridDraw(View::Frame);
}

void cubeGridStepPhase() {
    if (cubeGrid.phase < cubeGridLastPhase) cubeGrid.phase += 1;
}

void cubeGridOnMusicSync(int value) {
    CubeGridState& s = cubeGrid;
    if (value == 0) {
        // The cue comes once per run: one heard before the lattices wait for it (a module whose
        // instrument plays early) is kept for them, else the scene would wait for ever.
        if (s.phase < 3)
            s.onceCueKept = true;
        else
            cubeGridStepPhase();
        return;
    }
    if (value != 1) return;
    fadeOverlay(true, 0.005f, 1, 1, 1); // white flash over 200 ms
    if (s.phase != 6 && s.phase != 7) return;
    s.phase = s.phase == 6 ? 7 : 6;
    s.syncFlips += 1;
    if (s.syncFlips > 8) s.phase = cubeGridLastPhase; // the ninth flip starts the fly-apart
}

void cubeGridUnload() {
    gfx::deleteTextures(cubeGridTextures, 9);
    gfx::deleteMesh(latticeCube);
}

void resetCubeGrid() { cubeGrid = CubeGridState{}; }

const Scene cubeGridScene{cubeGridLoad,    cubeGridFrame, cubeGridOnMusicSync, cubeGridUnload,
                          cubeGridAdvance, cubeGridDraw,  "cube lattices",     SceneKind::CubeGrid};
