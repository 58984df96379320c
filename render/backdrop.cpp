#include "render/backdrop.h"

#include "render/frame_size.h"
#include "render/gfx.h"

const float centredUnitQuad[20] = {0, 0, -0.5f, 0.5f,  0, 1, 0, 0.5f,  0.5f,  0,
                                   1, 1, 0.5f,  -0.5f, 0, 0, 1, -0.5f, -0.5f, 0};

void drawCentredUnitQuad() {
    static gfx::Mesh quad; // drawn many times a frame: kept in a buffer
    if (!gfx::meshAlive(quad))
        quad = gfx::createMesh(gfx::texturedLayout, centredUnitQuad, 4, gfx::Primitive::Quads);
    gfx::draw(quad);
}

void beginPixelPass() {
    gfx::pushProjection();
    gfx::setProjection(orthoMatrix(0, screenUnitsWide, screenUnitsHigh, 0, 0, 1));
    gfx::loadIdentity();
    gfx::setDepthTest(false);
}

void endPixelPass() {
    gfx::setDepthTest(true);
    gfx::popProjection();
}

FrameFillingPicture::FrameFillingPicture(Texture picture, float rows) : picture(picture) {
    const gfx::TextureInfo info = gfx::textureInfo(picture);
    const int frameWidth = framePixels(screenUnitsWide);
    const int frameHeight = framePixels(screenUnitsHigh);
    using gfx::Filter;
    if (info.width == 0 || info.magFilter != Filter::Linear) return;
    if (info.minFilter != Filter::Linear && info.minFilter != Filter::LinearMipmapNearest) return;
    if (rows == 1 && info.width == frameWidth && info.height == frameHeight) {
        gfx::setTextureFilters(picture, Filter::Nearest, Filter::Nearest);
        kept = info;
    } else if (info.minFilter != Filter::Linear && info.width <= frameWidth &&
               info.height * rows <= frameHeight) {
        gfx::setTextureFilters(picture, Filter::Linear, info.magFilter);
        kept = info;
    }
}

FrameFillingPicture::~FrameFillingPicture() {
    if (kept.width) gfx::setTextureFilters(picture, kept.minFilter, kept.magFilter);
}

void drawBackdrop(Texture picture, float top, float bottom) {
    beginPixelPass();
    gfx::translate(320, 240, 0);
    const FrameFillingPicture bound(picture, bottom - top);
    gfx::bindTexture(picture);
    const float quad[] = {0, top,    -320, -240, 1, top,    320,  -240,
                          1, bottom, 320,  240,  0, bottom, -320, 240};
    gfx::draw(gfx::textured2dLayout, quad, 4, gfx::Primitive::Quads);
    endPixelPass();
    gfx::loadIdentity();
}
