// The full-screen background picture of a scene, drawn as the show's 2D picture pass.
#pragma once

#include "assets/texture.h"
#include "render/gfx.h"

// Lays texture rows `top` to `bottom` (0 = the picture's first row, 1 = its last) over the whole
// screen with the depth test off, then restores the projection and leaves the identity
// model-view matrix, ready for the scene's camera.
void drawBackdrop(Texture picture, float top = 0, float bottom = 1);

// Prepares `picture` for a pass that lays `rows` of it (a fraction of its
// height) over the whole frame, and reads it the cheapest way that gives the same picture:
// - no more texels than the frame has pixels across and down: GL only magnifies it, from level 0,
//   whatever the minifying filter says, so it is read without its mip-map levels;
// - the whole picture at exactly one texel a pixel: every pixel centre lies on a texel centre,
//   where linear filtering returns that texel alone, so it is read nearest.
// That spares the software renderer a level choice, or three of four texel reads, at every pixel.
// The filters it had come back when this goes out of scope.
class FrameFillingPicture {
  public:
    FrameFillingPicture(Texture picture, float rows);
    ~FrameFillingPicture();
    FrameFillingPicture(const FrameFillingPicture&) = delete;
    FrameFillingPicture& operator=(const FrameFillingPicture&) = delete;

  private:
    Texture picture;
    gfx::TextureInfo kept; // the filters to restore; width 0 when they were left alone
};

// The 2D picture pass: pushes an orthographic projection in screen units (origin top left,
// y down), loads the identity model-view matrix and turns the depth test off. endPixelPass
// turns the depth test on and pops the projection.
void beginPixelPass();
void endPixelPass();

// A unit quad centred on the origin in the z = 0 plane, the texture upright on it: its corners
// as s, t, x, y, z, and a draw of them.
extern const float centredUnitQuad[20];
void drawCentredUnitQuad();
