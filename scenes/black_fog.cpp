#include "scenes/black_fog.h"

#include <GL/gl.h>
#include <cstring>

namespace {

constexpr GLenum fogDistanceMode = 0x855A; // GL_FOG_DISTANCE_MODE_NV

bool hasFogDistance() {
    static const bool has = [] {
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        return extensions && std::strstr(extensions, "GL_NV_fog_distance") != nullptr;
    }();
    return has;
}

} // namespace

void enableBlackFog() {
    const GLfloat black[4] = {0, 0, 0, 1};
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogfv(GL_FOG_COLOR, black);
    glFogf(GL_FOG_DENSITY, 0.1f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 4);
    glFogf(GL_FOG_END, 100);
    // Mesa's default fog distance is |eye z| per vertex; clipping a large quad (the hall's
    // floor and ceiling) interpolates those absolute values across the eye plane, so the whole
    // quad fogs to black or not depending on where its corners lie, and the floor flickers as
    // the eye walks. The plain eye-plane distance interpolates exactly, and EXP2 ignores its sign.
    if (hasFogDistance()) glFogi(fogDistanceMode, GL_EYE_PLANE);
    glEnable(GL_FOG);
}
