// Reading and writing generator pictures: baseline JPEG (three components, no chroma
// subsampling, fixed quality, optimised Huffman tables: the same bytes for the same picture)
// and PNG for previews.
#pragma once

#include "tools/image.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int kJpegQuality = 92;

// 8-bit RGB, rows packed, top row first. Values are rounded after a fixed sub-level dither that
// breaks up banding in smooth gradients but leaves exact levels (pure black, pure white) alone.
std::vector<std::uint8_t> toBytes(const Image& image);

bool writeJpeg(const std::string& path, const Image& image, std::string& error);

struct JpegInfo {
    int width = 0, height = 0, components = 0;
    bool progressive = false;
    std::vector<std::uint8_t> pixels; // `components` bytes per pixel
};
// Decodes any JPEG file; false with `error` set when it cannot be opened or decoded.
bool readJpeg(const std::string& path, JpegInfo& info, std::string& error);
// The decoded picture as an Image (grey files become grey RGB).
Image toImage(const JpegInfo& info);

bool writePng(const std::string& path, const Image& image, std::string& error);

// Writes a file whole or not at all: `write` writes it under the name path + ".part", which is
// renamed to path once complete and removed when writing fails. So an interrupted run never
// leaves a truncated file behind.
bool writeWhole(const std::string& path, std::string& error,
                const std::function<bool(const std::string& part, std::string& error)>& write);
// An RGBA PNG: `alpha` (the image's size) gives each pixel's opacity.
bool writePng(const std::string& path, const Image& image, const Mask& alpha, std::string& error);
