// What the browser build relies on, tested natively: its PNG encoder (no libpng there) and the
// music fingerprint that its page compares with the desktop program's.
#include "offline/music_hash.h"
#include "platform/png_stored.h"
#include "tests/process_support.h"
#include "tests/reference_images.h"

#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

// Sizes around the encoder's edges: one pixel, rows that cross a stored block's 65535 bytes,
// and a whole frame of the show (many blocks, the last one short).
TEST(StoredPng, DecodesToTheSamePixelsAtAnySize) {
    const fs::path dir = freshFolder("stored-png");
    for (auto [width, height] : {std::pair{1, 1}, {200, 150}, {21845, 2}, {640, 480}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        RgbImage original{width, height, {}};
        original.pixels.resize(static_cast<size_t>(width) * height * 3);
        for (size_t i = 0; i < original.pixels.size(); ++i)
            original.pixels[i] = static_cast<std::uint8_t>(i * 7 + i / 3);
        const std::vector<std::uint8_t> png =
            platform::encodeStoredPng(original.pixels.data(), width, height);
        const fs::path file = dir / "picture.png";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<long>(png.size()));
        RgbImage decoded;
        std::string error;
        ASSERT_TRUE(readPngImage(file.string(), decoded, error)) << error;
        EXPECT_EQ(decoded.width, width);
        EXPECT_EQ(decoded.height, height);
        EXPECT_TRUE(decoded.pixels == original.pixels);
    }
}

// Samples beyond full scale are clipped, not wrapped round to the other sign.
TEST(MusicHash, ClipsLoudSamples) {
    EXPECT_EQ(hashPcm16({1.5f, -3.0f}), hashPcm16({1.0f, -1.0f}));
    EXPECT_NE(hashPcm16({1.0f, -1.0f}), hashPcm16({-1.0f, 1.0f}));
}

// The fingerprint is the same on every run and covers exactly the seconds asked for.
TEST(MusicHash, RepeatsAndCoversTheSecondsAskedFor) {
    const ProcessResult first = runProgram({"--music-hash", "2"}, TUVERO_DATA_DIR, 60);
    const ProcessResult again = runProgram({"--music-hash", "2"}, TUVERO_DATA_DIR, 60);
    const ProcessResult longer = runProgram({"--music-hash", "3"}, TUVERO_DATA_DIR, 60);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("music hash: 2 s, 96000 frames, "), std::string::npos) << first.out;
    EXPECT_EQ(first.out, again.out);
    EXPECT_NE(first.out.substr(first.out.rfind(' ')), longer.out.substr(longer.out.rfind(' ')));
    const ProcessResult missing = runProgram(
        {"--music-hash", "2", "--data", freshFolder("no-music").string()}, TUVERO_DATA_DIR, 60);
    EXPECT_EQ(missing.exitCode, 1);
}
