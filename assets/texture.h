// JPEG pictures to mip-mapped GL textures, and blank textures for screen copies.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using Texture = std::uint32_t; // GL texture name, 0 for none

struct JpegImage {
    int rowSpan = 0; // bytes per row: 3 * width
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // RGB, top row first, rows packed
    std::string warning;              // libjpeg's first warning (damaged data), "" when none
};

// Blank textures are made no larger than this on a side.
inline constexpr unsigned maxEmptyTextureSide = 8192;

// Pictures of more pixels than this are refused before any pixel memory is allocated.
inline constexpr std::uint64_t maxDecodedPixels = 100'000'000;

// Decodes any JPEG to RGB (greyscale, CMYK and YCCK converted). Damaged data that libjpeg only
// warns about still decodes (the rest filled in, the first warning in `warning`). With
// `maxSide` > 0 a picture with a longer side is scaled down, aspect kept, to fit. nullptr with
// `error` set, in words for the user, when the file is missing or fatally bad (not a JPEG,
// unsupported precision, above maxDecodedPixels).
std::unique_ptr<JpegImage> decodeJpeg(const char* fileName, std::string& error,
                                      unsigned maxSide = 0);

// Uploading is the drawing layer's (render/texture_upload.cpp); declared here while scenes
// reach it through this header.
// Loads the picture into textures[index] and leaves it bound; a picture larger than the GL
// texture limit is scaled down to fit. Returns false when it cannot be loaded, with a load
// report "cannot load picture NAME: reason"; a libjpeg warning makes the report
// "warning: picture NAME: warning" (once per picture) and the picture loads.
bool loadJpegTexture(Texture* textures, const char* fileName, int index);
// A black width x height RGB texture with linear filtering, left bound; 0 in the slot when the
// size is not a sensible one (0 or below, above 8192).
void createEmptyTexture(Texture* textures, int width, int height, int index);
