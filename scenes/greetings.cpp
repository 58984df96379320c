#include "scenes/greetings.h"

#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "render/gfx.h"
#include "render/overlays.h"
#include "scenes/scenes.h"
#include "scenes/show_random.h"
#include <algorithm>
#include <cmath>

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
void drawParticles() {
    const bool gentle = gentleEffects();
    if (gentle) {
        gfx::setBlend(true);
        gfx::blendAlpha();
    }
    gfx::bindTexture(greetingsTextures[4]);
    for (int i = 0; i < greetingsParticleCount; ++i) {
        const Vec3& p = greetings.particlePos[i];
        if (gentle) {
            const float dx = p.x - camera.eye.x, dy = p.z - camera.eye.y, dz = p.y - camera.eye.z;
            const float opacity = gentleOpacity(std::sqrt(dx * dx + dy * dy + dz * dz));
            if (opacity == 0) continue;
            gfx::setColor(1, 1, 1, opacity);
        }
        gfx::pushMatrix();
        gfx::translate(p.x, p.z, p.y);
        gfx::rotate(greetings.particleSpeed[i] * p.z * 1000, 0, 0, 1);
        drawCentredUnitQuad();
        gfx::popMatrix();
    }
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
