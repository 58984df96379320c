#include "render/context_check.h"

#include "render/gfx.h"
#include <cstdlib>
#include <cstring>

namespace {

VersionQuery query = gfx::contextVersion;

} // namespace

bool versionMeetsLayer(const char* version) {
    if (!version) return false;
    const char* const esPrefix = "OpenGL ES ";
    if (std::strncmp(version, esPrefix, std::strlen(esPrefix)) == 0)
        version += std::strlen(esPrefix);
    char* end = nullptr;
    const long major = std::strtol(version, &end, 10);
    if (end == version || *end != '.') return false;
    const char* minorText = end + 1;
    std::strtol(minorText, &end, 10);
    if (end == minorText) return false;
    return major >= 3;
}

bool startLayerOnContext(std::string& reason) {
    const std::string version = query();
    if (!versionMeetsLayer(version.c_str())) {
        reason = "the OpenGL driver offers version \"" + version +
                 "\"; the show needs OpenGL ES 3.0 or OpenGL 3.0";
        return false;
    }
    return gfx::start(reason);
}

void setVersionQuery(VersionQuery replacement) {
    query = replacement ? replacement : gfx::contextVersion;
}
