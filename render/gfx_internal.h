// State the parts of the drawing layer share. Only the layer's own files include this.
#pragma once

#include "platform/gl_api.h"
#include "render/gfx.h"

namespace gfx::detail {

// Attribute locations of the one shader.
enum Attribute : GLuint {
    positionAttribute = 0,
    texCoordAttribute = 1,
    colorAttribute = 2,
    texCoord1Attribute = 3
};

struct Program {
    GLuint name = 0;
    GLint projection = -1, modelView = -1, texture1Alpha = -1;
    GLint fogColor = -1, fogDensity = -1, fogStart = -1, fogEnd = -1;
};
// The shader's variants: a sum of the flags below and the fog mode (0 off, 1 linear, 2 exp2)
// times variantFogStep.
constexpr int variantTexture0 = 1, variantTexture1 = 2, variantFogStep = 4;
constexpr int variantCount = 3 * variantFogStep;
// Compiles and links one variant of the shader; name 0 with `error` set on failure.
Program buildProgram(int variant, std::string& error);

// Makes the program current and brings its uniforms, the colour and the bound textures up to
// date for a draw.
void prepareDraw();
// GL's texture binding was changed behind the drawing state: bind again before the next draw.
void textureBindingChanged();
// A deleted texture is no longer drawn with.
void textureDeleted(Texture texture);

void startMeshes();
void stopMeshes();
void forgetTextures();

} // namespace gfx::detail
