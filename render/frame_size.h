// The frame in pixels. Scenes think in screen units (640 x 480, `screenWidth` by
// `screenHeight`); the offscreen picture may be larger (or smaller) with the same 4:3 shape.
// Everything a scene gives in pixels (viewports, copies, the sizes of the textures it copies
// into) goes through these helpers, so it scales with the picture.
#pragma once

#include "assets/texture.h"

// The screen the scenes think in.
constexpr int screenUnitsWide = 640;
constexpr int screenUnitsHigh = 480;

// Screen units to pixels of the picture: the nearest whole pixel, at least 1 for a positive
// size.
int framePixels(int screenUnits);
// glViewport(0, 0, w, h) with w and h in screen units.
void setFrameViewport(int screenWidth, int screenHeight);
// Copies the bottom-left screenWidth x screenHeight area (screen units) of what was drawn so
// far into `texture` at (0, 0), after making it readable (multisampling is resolved first).
void copyFrameIntoTexture(Texture texture, int screenWidth, int screenHeight);

// A black texture of `screenWidth` x `screenHeight` screen units in slot `textures[index]`,
// remade at the new size by followFrameSize whenever the picture's size changes.
void createFrameSizedTexture(Texture* textures, int screenWidth, int screenHeight, int index);
// Remakes every frame-sized texture whose size no longer matches the picture, its picture
// stretched over; slots emptied (0) since are forgotten. Runs before each frame.
void followFrameSize();
