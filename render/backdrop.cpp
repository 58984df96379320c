#include "render/backdrop.h"

#include "app/app_state.h"
#include <GL/gl.h>

void beginPixelPass() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, appState.screenWidth, appState.screenHeight, 0, 0, 1);
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

void drawBackdrop(Texture picture, float top, float bottom) {
    beginPixelPass();
    glTranslatef(320, 240, 0);
    glBindTexture(GL_TEXTURE_2D, picture);
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
