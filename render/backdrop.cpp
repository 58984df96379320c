#include "render/backdrop.h"

#include "render/frame_size.h"
#include <GL/gl.h>

void beginPixelPass() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, screenUnitsWide, screenUnitsHigh, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
}

void drawCentredUnitQuad() {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-0.5f, 0.5f, 0);
    glTexCoord2f(1, 0);
    glVertex3f(0.5f, 0.5f, 0);
    glTexCoord2f(1, 1);
    glVertex3f(0.5f, -0.5f, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-0.5f, -0.5f, 0);
    glEnd();
}

FrameFillingPicture::FrameFillingPicture(Texture picture, float rows) : picture(picture) {
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    glBindTexture(GL_TEXTURE_2D, picture);
    GLint width = 0, height = 0, minFilter = 0, magFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    const int frameWidth = framePixels(screenUnitsWide);
    const int frameHeight = framePixels(screenUnitsHigh);
    if (magFilter != GL_LINEAR) return;
    if (minFilter != GL_LINEAR && minFilter != GL_LINEAR_MIPMAP_NEAREST) return;
    if (rows == 1 && width == frameWidth && height == frameHeight) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        keptMinFilter = minFilter;
        keptMagFilter = magFilter;
    } else if (minFilter != GL_LINEAR && width <= frameWidth && height * rows <= frameHeight) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        keptMinFilter = minFilter;
    }
}

FrameFillingPicture::~FrameFillingPicture() {
    if (!keptMinFilter) return;
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    if (active != unit) glActiveTexture(static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, picture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, keptMinFilter);
    if (keptMagFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, keptMagFilter);
    if (active != unit) glActiveTexture(static_cast<GLenum>(active));
}

void drawBackdrop(Texture picture, float top, float bottom) {
    beginPixelPass();
    glTranslatef(320, 240, 0);
    const FrameFillingPicture bound(picture, bottom - top);
    glBegin(GL_QUADS);
    glTexCoord2f(0, top);
    glVertex2f(-320, -240);
    glTexCoord2f(1, top);
    glVertex2f(320, -240);
    glTexCoord2f(1, bottom);
    glVertex2f(320, 240);
    glTexCoord2f(0, bottom);
    glVertex2f(-320, 240);
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
