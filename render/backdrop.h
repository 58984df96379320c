// The full-screen background picture of a scene, drawn as the show's 2D picture pass.
#pragma once

#include "assets/texture.h"

// Lays texture rows `top` to `bottom` (0 = the picture's first row, 1 = its last) over the whole
// screen with the depth test off, then restores the projection and leaves the identity
// model-view matrix, ready for the scene's camera.
void drawBackdrop(Texture picture, float top = 0, float bottom = 1);

// Binds `picture` to the active texture unit for a pass that lays `rows` of it (a fraction of its
// height) over the whole frame. While the picture has no more texels than the frame has pixels
// across and down, GL only magnifies it, from level 0, whatever the minifying filter says; the
// picture is then read without its mip-map levels, which looks the same and spares the software
// renderer a level choice at every pixel. The filter it had comes back when this goes out of scope,
// with the same texture unit active.
class FrameFillingPicture {
  public:
    FrameFillingPicture(Texture picture, float rows);
    ~FrameFillingPicture();
    FrameFillingPicture(const FrameFillingPicture&) = delete;
    FrameFillingPicture& operator=(const FrameFillingPicture&) = delete;

  private:
    Texture picture;
    int keptMinFilter = 0; // 0: the filter was left alone
};

// The 2D picture pass: pushes an orthographic pixel projection (origin top left, y down),
// loads the identity model-view matrix and turns the depth test off. The caller restores both.
void beginPixelPass();

// A unit quad centred on the origin in the z = 0 plane, the texture upright on it.
void drawCentredUnitQuad();
