// JPEG pictures decoded for textures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using Texture = std::uint32_t; // GL texture name, 0 for none

// No picture or texture side is larger (pictures are refused before any pixel is allocated).
inline constexpr unsigned maxPictureSide = 8192;

struct JpegImage {
    int rowSpan = 0; // bytes per row: 3 * width
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // RGB, top row first, rows packed
    std::string warning;              // libjpeg's first warning (damaged data), "" when none
};

// Decodes any JPEG to RGB. Damaged data that libjpeg only warns about still decodes (the rest
// filled in, the first warning in `warning`); nullptr with `error` set when the file is missing
// or fatally bad (not a JPEG, unsupported precision or colour space, too large).
std::unique_ptr<JpegImage> decodeJpeg(const char* fileName, std::string& error);

// Uploading is the drawing layer's (render/texture_upload.cpp); declared here while scenes
// reach it through this header.
// Loads the picture into textures[index] and leaves it bound. A libjpeg warning prints one line
// "tuvero: warning: picture NAME: warning" and the picture loads. A picture that cannot be loaded
// prints "cannot load picture NAME: reason", runs the release sequence and exits with code 1.
void loadJpegTexture(Texture* textures, const char* fileName, int index);
// A black width x height RGB texture with linear filtering, left bound.
void createEmptyTexture(Texture* textures, int width, int height, int index);
