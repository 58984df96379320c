#include "tools/image_io.h"

#include "tools/image_noise.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <jpeglib.h>
#include <png.h>

std::vector<std::uint8_t> toBytes(const Image& image) {
    std::vector<std::uint8_t> bytes(image.data.size() * 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            // Below half a level, so a value that is exactly on a level stays there.
            float dither = (hashUnit(x, y, 0x51u) - 0.5f) * 0.9f;
            const Rgb& c = image.at(x, y);
            float channels[3] = {c.r, c.g, c.b};
            for (int k = 0; k < 3; ++k) {
                float v = std::round(clamp01(channels[k]) * 255.0f + dither);
                bytes[(std::size_t(y) * image.width + x) * 3 + k] =
                    std::uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
            }
        }
    }
    return bytes;
}

namespace {

// libjpeg's default error handler exits the process; this one jumps back with the message.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    manager->base.format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

struct File {
    std::FILE* handle;
    ~File() {
        if (handle) std::fclose(handle);
    }
};

} // namespace

bool writeJpeg(const std::string& path, const Image& image, std::string& error) {
    std::vector<std::uint8_t> bytes = toBytes(image);
    File file{std::fopen(path.c_str(), "wb")};
    if (!file.handle) {
        error = "cannot write " + path;
        return false;
    }
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onJpegError;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        error = path + ": " + errors.message;
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.handle);
    info.image_width = JDIMENSION(image.width);
    info.image_height = JDIMENSION(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kJpegQuality, TRUE);
    info.optimize_coding = TRUE;
    info.dct_method = JDCT_ISLOW;
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &bytes[std::size_t(info.next_scanline) * image.width * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fflush(file.handle) != 0) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool readJpeg(const std::string& path, JpegInfo& result, std::string& error) {
    File file{std::fopen(path.c_str(), "rb")};
    if (!file.handle) {
        error = "cannot open " + path;
        return false;
    }
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onJpegError;
    errors.base.output_message = [](j_common_ptr) {}; // warnings: the caller sees the result
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        error = path + ": " + errors.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file.handle);
    jpeg_read_header(&info, TRUE);
    result.progressive = jpeg_has_multiple_scans(&info);
    result.components = info.num_components;
    jpeg_start_decompress(&info);
    result.width = int(info.output_width);
    result.height = int(info.output_height);
    int span = result.width * info.output_components;
    result.components = info.output_components;
    result.pixels.assign(std::size_t(span) * result.height, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &result.pixels[std::size_t(info.output_scanline) * span];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

Image toImage(const JpegInfo& info) {
    Image image(info.width, info.height);
    for (int y = 0; y < info.height; ++y) {
        for (int x = 0; x < info.width; ++x) {
            const std::uint8_t* p =
                &info.pixels[(std::size_t(y) * info.width + x) * std::size_t(info.components)];
            int g = info.components >= 3 ? 1 : 0, b = info.components >= 3 ? 2 : 0;
            image.at(x, y) = {p[0] / 255.0f, p[g] / 255.0f, p[b] / 255.0f};
        }
    }
    return image;
}

bool writeWhole(const std::string& path, std::string& error,
                const std::function<bool(const std::string& part, std::string& error)>& write) {
    const std::string part = path + ".part";
    std::error_code ec;
    if (!write(part, error)) {
        std::filesystem::remove(part, ec);
        return false;
    }
    std::filesystem::rename(part, path, ec);
    if (ec) {
        error = "cannot write " + path + ": " + ec.message();
        return false;
    }
    return true;
}

namespace {

// 8-bit pixels of `format` (RGB or RGBA), rows packed, top row first.
bool writePngPixels(const std::string& path, int width, int height, png_uint_32 format,
                    const std::vector<std::uint8_t>& bytes, std::string& error) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(width);
    png.height = png_uint_32(height);
    png.format = format;
    if (!png_image_write_to_file(&png, path.c_str(), 0, bytes.data(), 0, nullptr)) {
        error = path + ": " + png.message;
        return false;
    }
    return true;
}

} // namespace

bool writePng(const std::string& path, const Image& image, std::string& error) {
    return writePngPixels(path, image.width, image.height, PNG_FORMAT_RGB, toBytes(image), error);
}

bool writePng(const std::string& path, const Image& image, const Mask& alpha, std::string& error) {
    if (alpha.width != image.width || alpha.height != image.height) {
        error = path + ": the opacity does not match the picture's size";
        return false;
    }
    const std::vector<std::uint8_t> rgb = toBytes(image);
    std::vector<std::uint8_t> bytes(alpha.data.size() * 4);
    for (std::size_t i = 0; i < alpha.data.size(); ++i) {
        for (int k = 0; k < 3; ++k)
            bytes[i * 4 + k] = rgb[i * 3 + k];
        bytes[i * 4 + 3] = std::uint8_t(std::lround(clamp01(alpha.data[i]) * 255.0f));
    }
    return writePngPixels(path, image.width, image.height, PNG_FORMAT_RGBA, bytes, error);
}
