// Shared screen effects: fade from a colour, decaying view shake, a backdrop under a trail.
#pragma once

#include "assets/texture.h"

// start set: records the fade (opacity 1, `rate` per ms, colour) and draws nothing.
// start clear: advanceFade, then drawFade.
void fadeOverlay(bool start, float rate, float red, float green, float blue);
// One step of the fade by the time since the last (no GL). A step taken while the fade lasted
// leaves a picture for drawFade, even the one that reaches opacity 0.
void advanceFade();
// Draws the colour over the frame at the opacity of the last step, when that step left one.
void drawFade();
// start set: records the shake and displaces the camera at once.
// start clear: swings the camera to the other side, shrinking with time.
void cameraShake(bool start, float decay, float right, float up);
// drawBackdrop(picture) with `screenCopy` (a copy of the whole screen) laid over it at
// opacity `alpha`, in one pass that writes each pixel once and reads none back: the second
// texture mixes the copy into the picture.
// Leaves the second texture off; restores the projection and loads the identity model-view
// matrix, as drawBackdrop does.
void drawBackdropUnderScreenCopy(Texture picture, Texture screenCopy, float alpha);

// Reduced flashing: a fade shorter than a second (a flash) starts at a fraction of full
// opacity and fades out more slowly; a shake swings a fraction as far. Start times and
// durations of everything else stay as they are.
void setGentleEffects(bool gentle);
bool gentleEffects();

struct FadeState {
    float fadeAlpha = 0;
    float fadeRate = 0;
    float fadeColor[3] = {0, 0, 0};
    unsigned fadeLastTick = 0;
    bool started = false;
    bool drawPending = false; // the last step was taken while the fade lasted
};
struct ShakeState {
    float shakeRight = 0;
    float shakeUp = 0;
    float shakeDecay = 0;
    unsigned shakeLastTick = 0;
    bool started = false;
};
extern FadeState fadeState;
extern ShakeState shakeState;
void resetOverlays(); // tests
