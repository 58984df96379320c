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

// The look test's thresholds, shared by the desktop test and the browser check. Runs repeat bit
// for bit; the margins are for changes that keep the look but not every bit (other float
// rounding, other draw calls): with FMA contraction in the whole program the worst tile of the
// scenes stayed at 12.3, while one wrong texture slot, rotation, viewport or blend mode made a
// tile 26 or worse.
constexpr double minimumPsnr = 28;      // dB, whole picture
constexpr double maximumTileError = 16; // mean absolute error of the worst tile, 0..255
constexpr int tileSize = 16;            // pixels of the half-size picture

// Whether a render at half size passes against its reference.
inline bool looksAlike(const ImageDifference& d) {
    return d.psnr >= minimumPsnr && d.worstTileMae <= maximumTileError;
}
// "PSNR 31.2 dB, worst tile 8.1 at (16, 32)".
std::string describe(const ImageDifference& d);

struct Moment {
    long frame = 0;
    std::string name; // also the reference's file name, without ".png"
};
// A moments file: "FRAME NAME" per line; '#' starts a comment.
std::vector<Moment> readMoments(const std::string& path);
// The name --snapshots gives frame `frame`: frame_NNNNNN.png.
std::string snapshotFileName(long frame);

// Rows of images laid side by side (each row: render, reference, difference), separated by a
// dark grey gap. Rows may hold images of different sizes.
RgbImage contactSheet(const std::vector<std::vector<const RgbImage*>>& rows);
