// PNG encoding without a compression library: the image data is stored in uncompressed deflate
// blocks. Files are larger (about the raw size), which suits pictures handed straight on, such
// as a browser page's snapshots, where no zlib is at hand.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// An RGB picture (top row first, width * height * 3 bytes) as a complete PNG file.
std::vector<std::uint8_t> encodeStoredPng(const std::uint8_t* rgb, int width, int height);

} // namespace platform
