// Fade from a colour, decaying camera shake and the backdrop under a trail.
#include "render/overlays.h"

#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "render/frame_size.h"
#include "render/gfx.h"

#include <algorithm>
#include <cstdint>

FadeState fadeState;
ShakeState shakeState;

namespace {

bool gentle = false;
// A gentle flash: its peak opacity keeps the change in relative luminance below a tenth of the
// maximum over any picture (the largest change, over mid-greys, is about 0.08), and it fades
// out over twice the time.
constexpr float gentleFlashOpacity = 0.15f;
constexpr float gentleFlashSlowdown = 2;
constexpr float flashRateAbove = 0.001f; // per ms: fades shorter than a second are flashes
constexpr float gentleShakeScale = 0.2f;

// Displacement factor for a step e ms after the last one. Bounded to [0, 1]: after a pause
// longer than 1 / decay the swing stops instead of growing, and a negative decay cannot grow it.
float shakeFactor(std::uint32_t elapsed) {
    return std::clamp(1.0f - float(elapsed) * shakeState.shakeDecay, 0.0f, 1.0f);
}

void displaceCamera(float right, float up) {
    camera.move(right, 1, 0, 0);
    camera.move(up, 0, 1, 0);
}

} // namespace

void fadeOverlay(bool start, float rate, float red, float green, float blue) {
    if (!start) {
        advanceFade();
        drawFade();
        return;
    }
    FadeState& s = fadeState;
    s.started = true;
    s.fadeLastTick = platform::tickCount();
    s.fadeRate = rate;
    s.fadeAlpha = 1;
    if (gentle && rate > flashRateAbove) {
        s.fadeAlpha = gentleFlashOpacity;
        s.fadeRate = rate * gentleFlashOpacity / gentleFlashSlowdown;
    }
    s.fadeColor[0] = red;
    s.fadeColor[1] = green;
    s.fadeColor[2] = blue;
}

void advanceFade() {
    FadeState& s = fadeState;
    if (!s.started) {
        s.started = true;
        s.fadeLastTick = platform::tickCount();
    }
    s.drawPending = s.fadeAlpha != 0;
    if (!s.drawPending) return;
    // The step that reaches 0 still draws, fully transparent; later steps draw nothing.
    const std::uint32_t now = platform::tickCount();
    s.fadeAlpha = std::max(0.0f, s.fadeAlpha - float(now - s.fadeLastTick) * s.fadeRate);
    s.fadeLastTick = platform::tickCount();
}

void drawFade() {
    const FadeState& s = fadeState;
    if (!s.drawPending) return;
    beginPixelPass();
    gfx::translate(320, 240, 0);
    gfx::bindTexture(0);
    gfx::setColor(s.fadeColor[0], s.fadeColor[1], s.fadeColor[2], s.fadeAlpha);
    gfx::setBlend(true);
    gfx::blendAlpha();
    const float quad[] = {-320, -240, 320, -240, 320, 240, -320, 240};
    gfx::draw(gfx::VertexLayout{2, 0, 2}, quad, 4, gfx::Primitive::Quads);
    gfx::setBlend(false);
    gfx::setColor(1, 1, 1, 1);
    endPixelPass();
}

void cameraShake(bool start, float decay, float right, float up) {
    ShakeState& s = shakeState;
    if (!s.started) {
        s.started = true;
        s.shakeLastTick = platform::tickCount();
    }
    const bool active = s.shakeRight != 0 || s.shakeUp != 0;
    if (!active && !start) return;

    if (start) {
        // A displacement left by a running shake is not taken back.
        s.shakeLastTick = platform::tickCount();
        s.shakeDecay = decay;
        s.shakeRight = gentle ? right * gentleShakeScale : right;
        s.shakeUp = gentle ? up * gentleShakeScale : up;
        displaceCamera(s.shakeRight, s.shakeUp);
        return;
    }

    displaceCamera(-s.shakeRight, -s.shakeUp);
    s.shakeRight = -(s.shakeRight * shakeFactor(platform::tickCount() - s.shakeLastTick));
    s.shakeUp = -(s.shakeUp * shakeFactor(platform::tickCount() - s.shakeLastTick));
    s.shakeLastTick = platform::tickCount();
    // Small positive values end the swing; small negative ones reach this test after their
    // next change of sign.
    if (s.shakeRight > 0 && s.shakeRight <= 0.0001f) s.shakeRight = 0;
    if (s.shakeUp > 0 && s.shakeUp <= 0.0001f) s.shakeUp = 0;
    displaceCamera(s.shakeRight, s.shakeUp);
}

void drawBackdropUnderScreenCopy(Texture picture, Texture screenCopy, float alpha) {
    const FrameFillingPicture copy(screenCopy, 1);
    const FrameFillingPicture bound(picture, 1);
    // copy * alpha + picture * (1 - alpha), as the blend would give.
    gfx::bindTexture(picture);
    gfx::setSecondTexture(screenCopy, alpha);
    beginPixelPass();
    // s, t of the picture, x, y, then s, t of the copy, whose row 0 is the bottom of the screen.
    const float quad[] = {0, 0, 0,   0,   0, 1, 1, 0, 640, 0,   1, 1,
                          1, 1, 640, 480, 1, 0, 0, 1, 0,   480, 0, 0};
    gfx::draw(gfx::VertexLayout{6, 2, 2, 0, -1, 4}, quad, 4, gfx::Primitive::Quads);
    endPixelPass();
    gfx::setSecondTexture(0);
    gfx::loadIdentity();
}

void setGentleEffects(bool on) { gentle = on; }
bool gentleEffects() { return gentle; }

void resetOverlays() {
    gentle = false;
    fadeState = {};
    shakeState = {};
}
