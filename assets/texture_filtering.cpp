#include "assets/texture_filtering.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <cstring>

namespace {
bool wanted = false;
int known = -1; // -1 until the driver was asked; then 1 with the extension, 0 without
GLfloat most = 1;
constexpr GLfloat chosen = 8; // beyond 8 the pictures gain little and a software renderer slows
} // namespace

void useAnisotropicFiltering(bool on) { wanted = on; }

void applyAnisotropicFiltering() {
    if (!wanted) return;
    if (known < 0) {
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        known = extensions && std::strstr(extensions, "GL_EXT_texture_filter_anisotropic") ? 1 : 0;
        if (known) glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &most);
    }
    if (known == 1)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT,
                        most < chosen ? most : chosen);
}
