#include "scenes/greetings.h"

#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "render/gfx.h"
#include "render/matrix.h"
#include "render/overlays.h"
#include "scenes/scenes.h"
#include "scenes/show_random.h"
#include <algorithm>
#include <cmath>
#include <vector>

Texture greetingsTextures[5] = {};
GreetingsState greetings;

void resetGreetings() { greetings = GreetingsState{}; }

namespace {

constexpr std::uint32_t sceneLength = 20000; // ms
constexpr std::uint32_t slideLength = 4000;  // ms per picture
constexpr int slideCount = 4;
constexpr float spawnHeight = -50;
constexpr float topHeight = 50;

constexpr const char* fileNames[5] = {"doin.jpg", "vatr.jpg", "mulo.jpg", "olvanusteri.jpg",
                                      "texture2.jpg"};

int greetingsLoad() {
    if (greetings.loadStep >= 5) return 1;
    loadJpegTexture(greetingsTextures, fileNames[greetings.loadStep], greetings.loadStep);
    ++greetings.loadStep;
    return greetings.loadStep == 5 ? 1 : 0;
}

void updateParticles(float dt) {
    for (int i = 0; i < greetingsParticleCount; ++i) {
        Vec3& p = greetings.particlePos[i];
        if (p.x == 0) {
            const int r1 = showRandom();
            const int r2 = showRandom();
            const int r3 = showRandom();
            p.x = static_cast<float>(r1 % 1000) * 0.1f - 50;
            p.z = spawnHeight;
            p.y = static_cast<float>(r2 % 1000) * 0.1f - 50;
            greetings.particleSpeed[i] = static_cast<float>(r3 % 10 + 1) * 0.02f;
        }
        p.z += greetings.particleSpeed[i] * dt;
        if (p.z >= topHeight) p.x = 0;
    }
}

// Reduced flashing: how opaque a square is at `distance` from the eye. One that passes
// close to the eye fills much of the view for a few frames, bright against the dark
// backdrop, and several a second make a flicker; near the eye they fade out instead.
float gentleOpacity(float distance) { return std::clamp((distance - 8.0f) / 12.0f, 0.0f, 1.0f); }

// Free particles are drawn too, where they stopped. Colour and blending are left as the
// previous scene set them (but for reduced flashing, which blends and restores them).
// All of them go in one draw: each square's corners are placed here, with its own colour, since
// a browser pays for every draw call (1,200 of them took most of a frame there).
void drawParticles() {
    const bool gentle = gentleEffects();
    if (gentle) {
        gfx::setBlend(true);
        gfx::blendAlpha();
    }
    // s, t, x, y, z, red, green, blue, alpha
    constexpr gfx::VertexLayout layout{9, 2, 3, 0, 5, -1};
    static std::vector<float> vertices;
    vertices.clear();
    float color[4];
    for (int c = 0; c < 4; ++c)
        color[c] = gfx::currentColor(c);
    for (int i = 0; i < greetingsParticleCount; ++i) {
        const Vec3& p = greetings.particlePos[i];
        if (gentle) {
            const float dx = p.x - camera.eye.x, dy = p.z - camera.eye.y, dz = p.y - camera.eye.z;
            const float opacity = gentleOpacity(std::sqrt(dx * dx + dy * dy + dz * dz));
            if (opacity == 0) continue;
            color[0] = color[1] = color[2] = 1;
            color[3] = opacity;
        }
        const Mat4 place = translationMatrix(p.x, p.z, p.y) *
                           rotationMatrix(greetings.particleSpeed[i] * p.z * 1000, 0, 0, 1);
        for (int c = 0; c < 4; ++c) {
            const float* corner = &centredUnitQuad[c * 5]; // s, t, x, y, z
            float at[4];
            transformPoint(place, corner + 2, at);
            vertices.insert(vertices.end(), {corner[0], corner[1], at[0], at[1], at[2], color[0],
                                             color[1], color[2], color[3]});
        }
    }
    gfx::bindTexture(greetingsTextures[4]);
    gfx::draw(layout, vertices.data(), static_cast<int>(vertices.size() / layout.stride),
              gfx::Primitive::Quads);
    if (gentle) {
        gfx::setBlend(false);
        gfx::setColor(1, 1, 1, 1);
    }
}

void greetingsAdvance(View) {
    const std::uint32_t now = platform::tickCount();
    if (!greetings.ticking) {
        greetings.ticking = true;
        greetings.lastTick = now;
    }
    if (!greetings.started) {
        greetings.started = true;
        greetings.startTick = now;
    }
    if (now - greetings.startTick >= sceneLength) endCurrentEntry();

    if (!greetings.particlesReady) {
        for (int i = 0; i < greetingsParticleCount; ++i) {
            greetings.particlePos[i] = Vec3{};
            greetings.particleSpeed[i] = 0;
        }
        greetings.particlesReady = true;
    }
    updateParticles(static_cast<float>(now - greetings.lastTick));
    greetings.lastTick = now;

    if (!greetings.slideStarted) {
        greetings.slideStarted = true;
        greetings.slideTick = now;
    }
    if (now - greetings.slideTick >= slideLength) {
        ++greetings.slide;
        greetings.slideTick = now;
    }
    if (greetings.slide == slideCount) greetings.slide = 0;
}

void greetingsDraw(View) {
    gfx::clear(true, true);
    drawBackdrop(greetingsTextures[greetings.slide]);
    // No camera of its own: the view is wherever the interlude before left the camera.
    camera.apply();
    drawParticles();
}

void greetingsFrame() {
    greetingsAdvance(View::Frame);
    greetingsDraw(View::Frame);
}

// Frees the five textures at shutdown like every other scene does.
void greetingsUnload() {
    gfx::deleteTextures(greetingsTextures, 5);
    for (Texture& t : greetingsTextures)
        t = 0;
}

} // namespace

const Scene greetingsScene{greetingsLoad,    greetingsFrame, noOperation, greetingsUnload,
                           greetingsAdvance, greetingsDraw,  "greetings", SceneKind::Greetings};
