// Pictures of the show compared with stored references: 8-bit RGB images, PNG input and
// output, a box downscale, PSNR and a per-tile error, a difference image and a contact
// sheet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels; // RGB, top row first
};

// False with `error` naming the file when it cannot be read.
bool readPngImage(const std::string& path, RgbImage& image, std::string& error);
bool writePngImage(const std::string& path, const RgbImage& image, std::string& error);

// 1 / factor of the width and height, each pixel the rounded mean of a factor x factor block.
RgbImage shrink(const RgbImage& image, int factor);

struct ImageDifference {
    double psnr = 0;                    // dB over all channels; infinity when the images are equal
    double worstTileMae = 0;            // largest mean absolute error of one tile, 0..255
    int worstTileX = 0, worstTileY = 0; // that tile's top-left pixel
};

// Both images must have the same size; tiles at the right and bottom edges may be smaller.
ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int tileSize);

// |a - b| per channel, brightened so that small differences show.
RgbImage differenceImage(const RgbImage& a, const RgbImage& b);

// Rows of images laid side by side (each row: render, reference, difference), separated by a
// dark grey gap. Rows may hold images of different sizes.
RgbImage contactSheet(const std::vector<std::vector<const RgbImage*>>& rows);
