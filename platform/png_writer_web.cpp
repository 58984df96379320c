// PNG output in the browser build, which has no libpng: stored, uncompressed pictures.
#include "platform/platform.h"
#include "platform/png_stored.h"

#include <cstdio>

namespace platform {

bool writePng(const std::string& path, const std::uint8_t* rgb, int width, int height,
              std::string& error) {
    const std::vector<std::uint8_t> png = encodeStoredPng(rgb, width, height);
    const std::string partial = path + ".part";
    FILE* file = std::fopen(partial.c_str(), "wb");
    bool ok = file && std::fwrite(png.data(), 1, png.size(), file) == png.size();
    if (file) ok = (std::fclose(file) == 0) && ok;
    // Written whole under a temporary name, then renamed: never a half-written picture.
    if (ok && std::rename(partial.c_str(), path.c_str()) == 0) return true;
    std::remove(partial.c_str());
    error = "cannot write " + path;
    return false;
}

} // namespace platform
