// Temporary stand-in until the overlays land.
#include "render/overlays.h"

FadeState fadeState;
ShakeState shakeState;

void fadeOverlay(bool, float, float, float, float) {}
void cameraShake(bool, float, float, float) {}
void drawScreenCopy(float) {}
void resetOverlays() {
    fadeState = {};
    shakeState = {};
}
