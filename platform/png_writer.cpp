// PNG output of RGB pictures (screenshots and captured frames).
#include "platform/platform.h"

#include <cstdio>
#include <png.h>

namespace platform {

bool writePng(const std::string& path, const std::uint8_t* rgb, int width, int height,
              std::string& error) {
    std::string partial = path + ".part";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;
    if (png && info) {
        if (setjmp(png_jmpbuf(png)) == 0) {
            png_init_io(png, file);
            png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                         PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
            png_write_info(png, info);
            for (int y = 0; y < height; ++y)
                png_write_row(png, const_cast<png_bytep>(rgb + static_cast<size_t>(y) * width * 3));
            png_write_end(png, nullptr);
            ok = true;
        }
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    ok = (std::fclose(file) == 0) && ok;
    // Written whole under a temporary name, then renamed: never a half-written picture.
    if (ok && std::rename(partial.c_str(), path.c_str()) == 0) return true;
    std::remove(partial.c_str());
    error = "cannot write " + path;
    return false;
}

} // namespace platform
