// The GL matrix stack's arithmetic done on the CPU, operation for operation, so that geometry
// can be sent already transformed (one draw instead of one draw per matrix change) and still
// land on exactly the same pixels. Matrices are column-major, as glGetFloatv returns them.
#pragma once

#include <array>
#include <cstddef>

using Matrix4 = std::array<float, 16>;

struct ClipPoint {
    float x, y, z, w;
};

// The current model-view or projection matrix (GL_MODELVIEW_MATRIX or GL_PROJECTION_MATRIX).
Matrix4 currentMatrix(unsigned int which);

// What glTranslatef(x, y, z) makes of m: only the last column changes.
Matrix4 translated(const Matrix4& m, float x, float y, float z);

// The model-view-projection product that fixed-function vertex processing uses.
Matrix4 modelViewProjection(const Matrix4& projection, const Matrix4& modelView);

// The clip-space position that fixed-function vertex processing computes for (x, y, z, 1).
ClipPoint toClipSpace(const Matrix4& mvp, float x, float y, float z);

// Where a polygon lies against the view volume. Only Inside polygons may share a draw: when
// any polygon of a draw needs clipping, Mesa's software renderer sends the whole draw through
// its clipper, which moves pixels of the others as well (seen on llvmpipe).
enum class ClipSide { Inside, Outside, Crossing };
ClipSide classify(const ClipPoint* points, int count);

// A textured quad drawn under its own glTranslatef.
struct TranslatedQuad {
    float translation[3];
    float normal[3];
    float texCoords[4][2];
    float corners[4][3];
};

// Draws the quads in order, each as if under glPushMatrix, glTranslatef, glBegin(GL_QUADS) ...
// glEnd, glPopMatrix, with the same pixels inside the viewport, but with far fewer draws: quads
// wholly in view share draws, quads wholly out of view are left out, and only those crossing
// its edge are drawn one by one under their own translation.
void drawTranslatedQuads(const TranslatedQuad* quads, std::size_t count);
