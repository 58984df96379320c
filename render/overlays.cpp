// Fade from a colour, decaying camera shake and the backdrop under a trail.
#include "render/overlays.h"

#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "render/frame_size.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>

FadeState fadeState;
ShakeState shakeState;

namespace {

// 2D pass: pixel units, origin at the top-left corner, y down.
void beginScreenPass() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, screenUnitsWide, screenUnitsHigh, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
}

void endScreenPass() {
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

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
    beginScreenPass();
    glLoadIdentity();
    glTranslatef(320, 240, 0);
    glBindTexture(GL_TEXTURE_2D, 0);

    glColor4f(s.fadeColor[0], s.fadeColor[1], s.fadeColor[2], s.fadeAlpha);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0.125f);
    glVertex2f(-320, -240);
    glTexCoord2f(1, 0.125f);
    glVertex2f(320, -240);
    glTexCoord2f(1, 0.875f);
    glVertex2f(320, 240);
    glTexCoord2f(0, 0.875f);
    glVertex2f(-320, 240);
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    endScreenPass();
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
        s.shakeRight = right;
        s.shakeUp = up;
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
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    const FrameFillingPicture copy(screenCopy, 1);
    // copy * alpha + picture * (1 - alpha), as the blend would give.
    const GLfloat constant[4] = {1, 1, 1, alpha};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, constant);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_INTERPOLATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB, GL_CONSTANT);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glActiveTexture(GL_TEXTURE0);
    const FrameFillingPicture bound(picture, 1);

    beginScreenPass();
    glLoadIdentity();
    glBegin(GL_QUADS);
    // The copy's row 0 is the bottom of the screen.
    glMultiTexCoord2f(GL_TEXTURE1, 0, 1);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glMultiTexCoord2f(GL_TEXTURE1, 1, 1);
    glTexCoord2f(1, 0);
    glVertex2f(640, 0);
    glMultiTexCoord2f(GL_TEXTURE1, 1, 0);
    glTexCoord2f(1, 1);
    glVertex2f(640, 480);
    glMultiTexCoord2f(GL_TEXTURE1, 0, 0);
    glTexCoord2f(0, 1);
    glVertex2f(0, 480);
    glEnd();
    endScreenPass();
    glLoadIdentity();

    glActiveTexture(GL_TEXTURE1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
}

void resetOverlays() {
    fadeState = {};
    shakeState = {};
}
