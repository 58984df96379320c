#include "app/multitexture.h"

#include <GL/gl.h>
#include <cstdlib>
#include <cstring>

namespace {

const char* contextString(unsigned name) {
    return reinterpret_cast<const char*>(glGetString(static_cast<GLenum>(name)));
}

GlStringQuery query = contextString;

bool hasToken(const char* list, const char* token) {
    const std::size_t length = std::strlen(token);
    for (const char* at = list; (at = std::strstr(at, token)) != nullptr; at += length) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord) return true;
    }
    return false;
}

} // namespace

bool reportsMultitexture(const char* version, const char* extensions) {
    if (extensions && hasToken(extensions, "GL_ARB_multitexture")) return true;
    if (!version) return false;
    char* end = nullptr;
    const long major = std::strtol(version, &end, 10);
    if (end == version || *end != '.') return false;
    const char* minorText = end + 1;
    const long minor = std::strtol(minorText, &end, 10);
    if (end == minorText) return false;
    return major > 1 || (major == 1 && minor >= 3);
}

bool driverHasMultitexture() {
    return reportsMultitexture(query(GL_VERSION), query(GL_EXTENSIONS));
}

void setGlStringQuery(GlStringQuery replacement) {
    query = replacement ? replacement : contextString;
}
