#include "render/exact_transform.h"

#include <GL/gl.h>

// This file is compiled with -ffp-contract=off: every product is rounded before it is added,
// as the GL implementation does, and no fused multiply-add may change the last bit.

Matrix4 currentMatrix(unsigned int which) {
    Matrix4 m{};
    glGetFloatv(which, m.data());
    return m;
}

Matrix4 translated(const Matrix4& m, float x, float y, float z) {
    Matrix4 r = m;
    for (int row = 0; row < 4; ++row)
        r[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    return r;
}

Matrix4 modelViewProjection(const Matrix4& p, const Matrix4& mv) {
    Matrix4 r{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            r[col * 4 + row] = p[row] * mv[col * 4] + p[4 + row] * mv[col * 4 + 1] +
                               p[8 + row] * mv[col * 4 + 2] + p[12 + row] * mv[col * 4 + 3];
    return r;
}

// Column by column, each step rounded: x times the first column, then y, z and w (1) added.
ClipPoint toClipSpace(const Matrix4& m, float x, float y, float z) {
    float c[4];
    for (int row = 0; row < 4; ++row) {
        float sum = x * m[row];
        sum = y * m[4 + row] + sum;
        sum = z * m[8 + row] + sum;
        c[row] = 1.0f * m[12 + row] + sum;
    }
    return {c[0], c[1], c[2], c[3]};
}

// Inside: every point strictly within all six planes and in front of the eye. Outside: every
// point beyond one and the same plane, in front of the eye, so nothing of the polygon reaches
// the viewport. Anything else may be clipped.
ClipSide classify(const ClipPoint* points, int count) {
    bool inside = true;
    unsigned beyondAll = 0x3f;
    for (int i = 0; i < count; ++i) {
        const ClipPoint& p = points[i];
        if (!(p.w > 0)) return ClipSide::Crossing;
        const unsigned beyond = (p.x < -p.w ? 1u : 0u) | (p.x > p.w ? 2u : 0u) |
                                (p.y < -p.w ? 4u : 0u) | (p.y > p.w ? 8u : 0u) |
                                (p.z < -p.w ? 16u : 0u) | (p.z > p.w ? 32u : 0u);
        const bool strictlyInside =
            p.x > -p.w && p.x < p.w && p.y > -p.w && p.y < p.w && p.z > -p.w && p.z < p.w;
        inside = inside && strictlyInside;
        beyondAll &= beyond;
    }
    if (inside) return ClipSide::Inside;
    return beyondAll ? ClipSide::Outside : ClipSide::Crossing;
}

namespace {

void drawUnderOwnTranslation(const TranslatedQuad& q) {
    glPushMatrix();
    glTranslatef(q.translation[0], q.translation[1], q.translation[2]);
    glBegin(GL_QUADS);
    glNormal3fv(q.normal);
    for (int c = 0; c < 4; ++c) {
        glTexCoord2fv(q.texCoords[c]);
        glVertex3fv(q.corners[c]);
    }
    glEnd();
    glPopMatrix();
}

// Quads already in clip space, between glBegin and glEnd under identity matrices.
class PretransformedBatch {
  public:
    ~PretransformedBatch() { close(); }
    void add(const TranslatedQuad& q, const ClipPoint (&corners)[4]) {
        if (!open_) {
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glLoadIdentity();
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            glLoadIdentity();
            glBegin(GL_QUADS);
            open_ = true;
        }
        glNormal3fv(q.normal);
        for (int c = 0; c < 4; ++c) {
            glTexCoord2fv(q.texCoords[c]);
            glVertex4f(corners[c].x, corners[c].y, corners[c].z, corners[c].w);
        }
    }
    // Ends the shared draw; the matrix change that follows makes the GL flush it.
    void close() {
        if (!open_) return;
        glEnd();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        open_ = false;
    }

  private:
    bool open_ = false;
};

} // namespace

void drawTranslatedQuads(const TranslatedQuad* quads, std::size_t count) {
    const Matrix4 projection = currentMatrix(GL_PROJECTION_MATRIX);
    const Matrix4 modelView = currentMatrix(GL_MODELVIEW_MATRIX);
    PretransformedBatch batch;
    for (std::size_t i = 0; i < count; ++i) {
        const TranslatedQuad& q = quads[i];
        const Matrix4 mvp =
            modelViewProjection(projection, translated(modelView, q.translation[0],
                                                       q.translation[1], q.translation[2]));
        ClipPoint corners[4];
        for (int c = 0; c < 4; ++c)
            corners[c] = toClipSpace(mvp, q.corners[c][0], q.corners[c][1], q.corners[c][2]);
        switch (classify(corners, 4)) {
        case ClipSide::Inside:
            batch.add(q, corners);
            break;
        case ClipSide::Outside:
            break;
        case ClipSide::Crossing:
            batch.close();
            drawUnderOwnTranslation(q);
            break;
        }
    }
}
