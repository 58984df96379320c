#include "scenes/black_fog.h"

#include <GL/gl.h>

void enableBlackFog() {
    const GLfloat black[4] = {0, 0, 0, 1};
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogfv(GL_FOG_COLOR, black);
    glFogf(GL_FOG_DENSITY, 0.1f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 4);
    glFogf(GL_FOG_END, 100);
    glEnable(GL_FOG);
}
