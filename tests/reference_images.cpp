#include "tests/reference_images.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <png.h>
#include <sstream>

std::string describe(const ImageDifference& d) {
    char text[120];
    std::snprintf(text, sizeof text, "PSNR %.1f dB, worst tile %.1f at (%d, %d)", d.psnr,
                  d.worstTileMae, d.worstTileX, d.worstTileY);
    return text;
}

std::vector<Moment> readMoments(const std::string& path) {
    std::vector<Moment> moments;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        Moment moment;
        if (fields >> moment.frame >> moment.name) moments.push_back(moment);
    }
    return moments;
}

std::string snapshotFileName(long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06ld.png", frame);
    return name;
}

bool readPngImage(const std::string& path, RgbImage& image, std::string& error) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        error = "cannot read " + path + ": " + png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
        error = "cannot decode " + path + ": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

bool writePngImage(const std::string& path, const RgbImage& image, std::string& error) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr)) {
        error = "cannot write " + path + ": " + png.message;
        return false;
    }
    return true;
}

RgbImage shrink(const RgbImage& image, int factor) {
    RgbImage small{image.width / factor, image.height / factor, {}};
    small.pixels.resize(static_cast<size_t>(small.width) * small.height * 3);
    const int area = factor * factor;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += image.pixels[((static_cast<size_t>(y) * factor + dy) * image.width +
                                             static_cast<size_t>(x) * factor + dx) *
                                                3 +
                                            c];
                small.pixels[(static_cast<size_t>(y) * small.width + x) * 3 + c] =
                    static_cast<std::uint8_t>((sum + area / 2) / area);
            }
    return small;
}

ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int tileSize) {
    ImageDifference result;
    double squares = 0;
    for (int ty = 0; ty < a.height; ty += tileSize)
        for (int tx = 0; tx < a.width; tx += tileSize) {
            double absolute = 0;
            long samples = 0;
            for (int y = ty; y < std::min(ty + tileSize, a.height); ++y)
                for (int x = tx; x < std::min(tx + tileSize, a.width); ++x)
                    for (int c = 0; c < 3; ++c) {
                        const size_t i = (static_cast<size_t>(y) * a.width + x) * 3 + c;
                        const int d = a.pixels[i] - b.pixels[i];
                        absolute += std::abs(d);
                        squares += d * d;
                        ++samples;
                    }
            const double mae = absolute / samples;
            if (mae > result.worstTileMae) {
                result.worstTileMae = mae;
                result.worstTileX = tx;
                result.worstTileY = ty;
            }
        }
    const double mse = squares / (static_cast<double>(a.width) * a.height * 3);
    result.psnr =
        mse == 0 ? std::numeric_limits<double>::infinity() : 10 * std::log10(255.0 * 255.0 / mse);
    return result;
}

RgbImage differenceImage(const RgbImage& a, const RgbImage& b) {
    RgbImage diff = a;
    for (size_t i = 0; i < diff.pixels.size(); ++i)
        diff.pixels[i] =
            static_cast<std::uint8_t>(std::min(255, 4 * std::abs(a.pixels[i] - b.pixels[i])));
    return diff;
}

RgbImage contactSheet(const std::vector<std::vector<const RgbImage*>>& rows) {
    constexpr int gap = 4;
    constexpr std::uint8_t grey = 48;
    RgbImage sheet;
    for (const auto& row : rows) {
        int width = gap, height = 0;
        for (const RgbImage* image : row) {
            width += image->width + gap;
            height = std::max(height, image->height);
        }
        sheet.width = std::max(sheet.width, width);
        sheet.height += height + gap;
    }
    sheet.height += gap;
    sheet.pixels.assign(static_cast<size_t>(sheet.width) * sheet.height * 3, grey);
    int top = gap;
    for (const auto& row : rows) {
        int left = gap, height = 0;
        for (const RgbImage* image : row) {
            for (int y = 0; y < image->height; ++y)
                std::copy_n(&image->pixels[static_cast<size_t>(y) * image->width * 3],
                            static_cast<size_t>(image->width) * 3,
                            &sheet.pixels[(static_cast<size_t>(top + y) * sheet.width + left) * 3]);
            left += image->width + gap;
            height = std::max(height, image->height);
        }
        top += height + gap;
    }
    return sheet;
}
