// The full-screen background picture of a scene, drawn as the show's 2D picture pass.
#pragma once

#include "assets/texture.h"

// Lays texture rows `top` to `bottom` (0 = the picture's first row, 1 = its last) over the whole
// screen with the depth test off, then restores the projection and leaves the identity
// model-view matrix, ready for the scene's camera.
void drawBackdrop(Texture picture, float top = 0, float bottom = 1);

// The 2D picture pass: pushes an orthographic pixel projection (origin top left, y down),
// loads the identity model-view matrix and turns the depth test off. The caller restores both.
void beginPixelPass();

// A unit quad centred on the origin in the z = 0 plane, the texture upright on it.
void drawCentredUnitQuad();
