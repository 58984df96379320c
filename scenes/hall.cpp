#include "scenes/hall.h"

#include "render/backdrop.h"
#include "render/camera.h"
#include "render/overlays.h"
#include "scenes/black_fog.h"
#include "scenes/live_view.h"
#include "scenes/scenes.h"
#include <GL/gl.h>
#include <cstdlib>

HallState hall;
Texture hallTextures[5] = {};

namespace {

const char* const pictureFiles[5] = {"texture5.jpg", "tuli.jpg", "tuli_alpha.jpg", "texture2.jpg",
                                     "texture7.jpg"};

void pillar(float x, float z) {
    const float l = x - 0.2f, r = x + 0.2f, n = z + 0.2f, f = z - 0.2f;
    const float sides[4][3][4] = {
        // normal, then x of the four corners, then z of the four corners
        {{0, 0, 1}, {l, r, r, l}, {n, n, n, n}},
        {{1, 0, 0}, {r, r, r, r}, {n, f, f, n}},
        {{0, 0, -1}, {r, l, l, r}, {f, f, f, f}},
        {{-1, 0, 0}, {l, l, l, l}, {f, n, n, f}},
    };
    const float y[4] = {2, 2, 0, 0};
    const float tex[4][2] = {{0, 0}, {0, 2}, {2, 2}, {2, 0}};
    for (const auto& side : sides) {
        glNormal3f(side[0][0], side[0][1], side[0][2]);
        for (int c = 0; c < 4; ++c) {
            glTexCoord2fv(tex[c]);
            glVertex3f(side[1][c], y[c], side[2][c]);
        }
    }
}

// Every pillar of the hall, compiled once into a display list: they never move.
GLuint pillarList = 0;

void drawPillars(bool mirrored) {
    if (pillarList == 0) {
        pillarList = glGenLists(1);
        glNewList(pillarList, GL_COMPILE);
        glBegin(GL_QUADS);
        for (float x = -15; x < 15; x += 2) {
            for (float z = -15; z < 15; z += 2) {
                // The four pillars around the centre are left out for the flames.
                if (std::abs(static_cast<int>(x)) < 3 && std::abs(static_cast<int>(z)) < 3)
                    continue;
                pillar(x, z);
            }
        }
        glEnd();
        glEndList();
    }
    // A pillar's sides wind clockwise seen from outside (counter-clockwise in the mirror); the
    // sides turned away are always behind the others, and its open ends lie in the floor and
    // the ceiling, where no eye in the hall sees into them.
    glFrontFace(mirrored ? GL_CCW : GL_CW);
    glEnable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, hallTextures[4]);
    glCallList(pillarList);
    glDisable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
}

void drawFlames() {
    const float a = hall.flameAngle;
    for (int i = 0; i < 3; ++i) {
        glPushMatrix();
        glTranslatef(0, 0.8f, 0);
        if (i == 0) {
            glRotatef(a + 3, 1, 0, 0);
            glRotatef(0.5f * a, 0, 1, 0);
            glRotatef(a, 0, 0, 1);
        } else if (i == 1) {
            glRotatef(a, 1, 0, 0);
            glRotatef(a + 3, 0, 1, 0);
            glRotatef(0.5f * a, 0, 0, 1);
        } else {
            glRotatef(0.5f * a, 1, 0, 0);
            glRotatef(a, 0, 1, 0);
            glRotatef(a + 3, 0, 0, 1);
        }
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        glBindTexture(GL_TEXTURE_2D, hallTextures[1]);
        drawCentredUnitQuad();
        // The light pass lies exactly on the mask pass: it must pass the depth test where the
        // mask has just written the same depth, or the flames would stay dark cut-outs.
        glBlendFunc(GL_ONE, GL_ONE);
        glBindTexture(GL_TEXTURE_2D, hallTextures[2]);
        glDepthFunc(GL_LEQUAL);
        drawCentredUnitQuad();
        glDepthFunc(GL_LESS);
        glDisable(GL_BLEND);
        glPopMatrix();
    }
}

// The pillars and the ceiling: everything of the hall but the flames.
void drawStructure(bool mirrored) {
    drawPillars(mirrored);
    glBindTexture(GL_TEXTURE_2D, hallTextures[0]);
    glBegin(GL_QUADS);
    glNormal3f(0, -1, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-15, 2, -15);
    glTexCoord2f(30, 0);
    glVertex3f(15, 2, -15);
    glTexCoord2f(30, 17);
    glVertex3f(15, 2, 15);
    glTexCoord2f(0, 17);
    glVertex3f(-15, 2, 15);
    glEnd();
}

void drawFloor() {
    glBindTexture(GL_TEXTURE_2D, hallTextures[3]);
    glBegin(GL_QUADS);
    glNormal3f(0, 1, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-15, 0, -15);
    glTexCoord2f(30, 0);
    glVertex3f(15, 0, -15);
    glTexCoord2f(30, 30);
    glVertex3f(15, 0, 15);
    glTexCoord2f(0, 30);
    glVertex3f(-15, 0, 15);
    glEnd();
}

} // namespace

void hallWalk(float dt) {
    HallState& s = hall;
    const float step = dt * hallPathSpeed;
    // Exact comparisons: every corner sets one coordinate to exactly +-3.5 and nudges the
    // other 0.002 off its corner value, so exactly one side's condition holds.
    if (s.eyeZ == hallCorner && s.eyeX < hallCorner) {
        s.eyeX += step;
        if (s.eyeX >= hallCorner) {
            s.eyeX = hallCorner;
            s.eyeZ = hallCorner - 0.002f;
        }
    } else if (s.eyeX == hallCorner && s.eyeZ < hallCorner) {
        s.eyeZ -= step;
        if (s.eyeZ <= -hallCorner) {
            s.eyeZ = -hallCorner;
            s.eyeX = hallCorner + 0.002f;
        }
    } else if (s.eyeZ == -hallCorner && s.eyeX > -hallCorner) {
        s.eyeX -= step;
        if (s.eyeX <= -hallCorner) {
            s.eyeX = -hallCorner;
            s.eyeZ = -hallCorner + 0.002f;
        }
    } else if (s.eyeX == -hallCorner && s.eyeZ > -hallCorner) {
        s.eyeZ += step;
        if (s.eyeZ >= hallCorner) {
            s.eyeZ = hallCorner;
            s.eyeX = -hallCorner + 0.002f;
        }
    }
}

int hallLoad() {
    const int slot = hall.loadStep;
    if (slot >= 5) return 1;
    loadJpegTexture(hallTextures, pictureFiles[slot], slot);
    hall.loadStep = slot + 1;
    return slot == 4 ? 1 : 0;
}

void hallAdvance(View view) {
    HallState& s = hall;
    const std::uint32_t now =
        advanceLiveViewClock({s.tick, s.tickSet, s.runStart}, view, hallRunMs);

    hallWalk(static_cast<float>(now - s.tick));
    s.flameAngle += static_cast<float>(now - s.tick) * 0.08f;
    s.tick = now;

    camera.position(s.eyeX, 0.5f, s.eyeZ, 0, 0.5f, 0, 0, 1, 0);
    s.view = camera;
    if (view == View::Frame) advanceFade();
}

void hallDraw(View view) {
    beginLiveViewDraw(view);
    hall.view.apply();
    enableBlackFog();

    // The hall mirrored below the floor, the floor laid over it at 70%, then the hall itself.
    // Everything of the hall lies above the floor and everything of the mirror image below it,
    // so the opaque hall can go first and hide what it covers of the image; only the flames,
    // which blend with what lies behind them, must come after the floor.
    glEnable(GL_DEPTH_TEST);
    drawStructure(false);
    glPushMatrix();
    glScalef(1, -1, 1);
    drawStructure(true);
    drawFlames();
    glPopMatrix();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 0.7f);
    drawFloor();
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    drawFlames();

    if (view == View::Frame) drawFade();
    glDisable(GL_FOG);
}

void hallFrame() {
    hallAdvance(View::Frame);
    hallDraw(View::Frame);
}

void hallUnload() {
    glDeleteTextures(5, hallTextures);
    if (pillarList != 0) glDeleteLists(pillarList, 1);
    pillarList = 0;
}

void resetHall() { hall = HallState{}; }

const Scene hallScene{hallLoad,    hallFrame, noOperation,  hallUnload,
                      hallAdvance, hallDraw,  "pillar hall"};
