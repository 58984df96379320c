#include "scenes/greetings.h"

#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "scenes/scenes.h"
#include <GL/gl.h>
#include <cstdlib>

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
            const int r1 = std::rand();
            const int r2 = std::rand();
            const int r3 = std::rand();
            p.x = static_cast<float>(r1 % 1000) * 0.1f - 50;
            p.z = spawnHeight;
            p.y = static_cast<float>(r2 % 1000) * 0.1f - 50;
            greetings.particleSpeed[i] = static_cast<float>(r3 % 10 + 1) * 0.02f;
        }
        p.z += greetings.particleSpeed[i] * dt;
        if (p.z >= topHeight) p.x = 0;
    }
}

// Free particles are drawn too, where they stopped. Colour and blending are left as the
// previous scene set them.
void drawParticles() {
    glBindTexture(GL_TEXTURE_2D, greetingsTextures[4]);
    for (int i = 0; i < greetingsParticleCount; ++i) {
        const Vec3& p = greetings.particlePos[i];
        glPushMatrix();
        glTranslatef(p.x, p.z, p.y);
        glRotatef(greetings.particleSpeed[i] * p.z * 1000, 0, 0, 1);
        drawCentredUnitQuad();
        glPopMatrix();
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
    if (now - greetings.startTick >= sceneLength) advanceScene();

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
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
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
    glDeleteTextures(5, greetingsTextures);
    for (Texture& t : greetingsTextures)
        t = 0;
}

} // namespace

const Scene greetingsScene{greetingsLoad,    greetingsFrame, noOperation, greetingsUnload,
                           greetingsAdvance, greetingsDraw,  "greetings"};
