// JPEG decoding (odd widths, greyscale, damaged and hostile files) and texture upload.
#include "assets/data_folder.h"
#include "assets/load_report.h"
#include "assets/texture.h"
#include "tests/gl_test_support.h"

#include "render/gfx.h"
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include <jpeglib.h>

namespace {

using PixelFn = std::function<void(int x, int y, JSAMPLE* out)>;

// Writes a JPEG at quality 100 without chroma subsampling, so flat areas decode near exactly.
// `stored` is the colour space written to the file (the input's own unless given).
void writeJpeg(const std::string& path, int width, int height, int components, J_COLOR_SPACE space,
               const PixelFn& pixel, J_COLOR_SPACE stored = JCS_UNKNOWN) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    if (stored != JCS_UNKNOWN) jpeg_set_colorspace(&info, stored);
    jpeg_set_quality(&info, 100, TRUE);
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * components);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x)
            pixel(x, int(info.next_scanline), &row[std::size_t(x) * components]);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

std::vector<char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// The test process's own scratch folder, removed at exit.
std::string pictureDir() { return testing::TempDir(); }
std::string picturePath(const char* name) { return pictureDir() + name; }

// 33 x 16, a width whose RGB rows are not a multiple of 4 bytes: left 16 columns red, the rest
// blue in the top 8 rows; yellow and cyan below.
void quadrants(int x, int y, JSAMPLE* out) {
    const bool left = x < 16, top = y < 8;
    out[0] = left ? 255 : 0;
    out[1] = top ? 0 : 255;
    out[2] = left ? 0 : 255;
}

std::string quadrantPicture() {
    static const std::string path = [] {
        const std::string p = picturePath("quadrants.jpg");
        writeJpeg(p, 33, 16, 3, JCS_RGB, quadrants);
        return p;
    }();
    return path;
}

void expectRgbNear(const std::uint8_t* actual, int r, int g, int b, int tolerance = 24) {
    EXPECT_NEAR(actual[0], r, tolerance);
    EXPECT_NEAR(actual[1], g, tolerance);
    EXPECT_NEAR(actual[2], b, tolerance);
}

TEST(TextureDecodeTest, OddWidthDecodesToPackedRgbRows) {
    std::string error;
    auto image = decodeJpeg(quadrantPicture().c_str(), error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->width, 33);
    EXPECT_EQ(image->height, 16);
    EXPECT_EQ(image->rowSpan, 99);
    ASSERT_EQ(image->pixels.size(), 99u * 16);
    for (int y : {0, 3, 7, 8, 12, 15}) {
        const std::uint8_t* row = image->pixels.data() + y * image->rowSpan;
        std::uint8_t expected[3];
        for (int x : {0, 5, 11, 20, 27, 32}) {
            quadrants(x, y, expected);
            SCOPED_TRACE(testing::Message() << "x " << x << " y " << y);
            expectRgbNear(row + 3 * x, expected[0], expected[1], expected[2]);
        }
    }
}

// Greyscale, CMYK and YCCK all become RGB. CMYK files carry Adobe's marker (libjpeg writes it
// too), whose inks are stored inverted: the stored values are 255 minus the ink.
TEST(TextureDecodeTest, GreyscaleCmykAndYcckConvertToRgb) {
    const std::string grey = picturePath("grey.jpg");
    writeJpeg(grey, 21, 10, 1, JCS_GRAYSCALE, [](int x, int, JSAMPLE* out) { *out = x * 12; });
    std::string error;
    auto image = decodeJpeg(grey.c_str(), error);
    ASSERT_TRUE(image) << error;
    ASSERT_EQ(image->pixels.size(), 63u * 10);
    for (int x : {0, 10, 20}) {
        const std::uint8_t* p = image->pixels.data() + 9 * 63 + 3 * x;
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
        EXPECT_NEAR(p[0], x * 12, 6);
    }

    // Left half full magenta and yellow ink (red), right half half-strength black (grey).
    const auto inks = [](int x, int, JSAMPLE* out) {
        const int ink[4] = {0, x < 8 ? 255 : 0, x < 8 ? 255 : 0, x < 8 ? 0 : 128};
        for (int c = 0; c < 4; ++c)
            out[c] = JSAMPLE(255 - ink[c]);
    };
    for (const J_COLOR_SPACE space : {JCS_CMYK, JCS_YCCK}) {
        SCOPED_TRACE(space == JCS_CMYK ? "CMYK" : "YCCK");
        const std::string path = picturePath(space == JCS_CMYK ? "cmyk.jpg" : "ycck.jpg");
        writeJpeg(path, 16, 16, 4, JCS_CMYK, inks, space);
        image = decodeJpeg(path.c_str(), error);
        ASSERT_TRUE(image) << error;
        ASSERT_EQ(image->rowSpan, 48);
        expectRgbNear(image->pixels.data() + 8 * 48 + 3 * 2, 255, 0, 0, 8);
        expectRgbNear(image->pixels.data() + 8 * 48 + 3 * 13, 127, 127, 127, 8);
    }
}

// A 96 x 64 picture with detail in every block, so that damage to its scan shows everywhere.
std::string detailedPicture() {
    static const std::string path = [] {
        const std::string p = picturePath("detailed.jpg");
        writeJpeg(p, 96, 64, 3, JCS_RGB, [](int x, int y, JSAMPLE* out) {
            out[0] = JSAMPLE((x * 37 + y * 11) & 0xFF);
            out[1] = JSAMPLE((x * y) & 0xFF);
            out[2] = JSAMPLE((x ^ y) * 4);
        });
        return p;
    }();
    return path;
}

// Where the entropy-coded data of the (single) scan starts: after the SOS segment.
std::size_t scanStart(const std::vector<char>& bytes) {
    for (std::size_t i = 0; i + 3 < bytes.size(); ++i)
        if (std::uint8_t(bytes[i]) == 0xFF && std::uint8_t(bytes[i + 1]) == 0xDA)
            return i + 2 + ((std::uint8_t(bytes[i + 2]) << 8) | std::uint8_t(bytes[i + 3]));
    return 0;
}

// Damaged pictures that libjpeg only warns about load as every viewer shows them, with the
// warning; a truncated file loads with the rest filled in.
TEST(TextureDecodeTest, DamagedScanDataAndTruncatedFilesLoadWithTheirWarning) {
    std::vector<char> bytes = readBytes(detailedPicture());
    const std::size_t scan = scanStart(bytes);
    ASSERT_GT(scan, 0u);
    ASSERT_GT(bytes.size(), scan + 400);
    // Flip 100 bytes in the middle of the scan, never making or breaking a 0xFF marker byte.
    std::vector<char> damaged = bytes;
    int flipped = 0;
    for (std::size_t i = scan + 100; flipped < 100 && i + 1 < damaged.size(); ++i) {
        const auto b = std::uint8_t(damaged[i]);
        if (b == 0xFF || std::uint8_t(damaged[i - 1]) == 0xFF || (b ^ 0x5A) == 0xFF) continue;
        damaged[i] = char(b ^ 0x5A);
        ++flipped;
    }
    const std::string damagedPath = picturePath("damaged.jpg");
    writeBytes(damagedPath, damaged);
    std::string error;
    auto image = decodeJpeg(damagedPath.c_str(), error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->width, 96);
    EXPECT_EQ(image->pixels.size(), 96u * 64 * 3);
    EXPECT_NE(image->warning.find("Corrupt JPEG data"), std::string::npos) << image->warning;

    std::vector<char> truncated(bytes.begin(), bytes.begin() + std::ptrdiff_t(scan + 200));
    const std::string truncatedPath = picturePath("truncated.jpg");
    writeBytes(truncatedPath, truncated);
    image = decodeJpeg(truncatedPath.c_str(), error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->height, 64);
    EXPECT_NE(image->warning.find("Premature end of JPEG file"), std::string::npos)
        << image->warning;

    // Cut inside its header, a file has no picture to fill in: that is fatal.
    truncated.resize(scan / 2);
    writeBytes(truncatedPath, truncated);
    EXPECT_FALSE(decodeJpeg(truncatedPath.c_str(), error));
    EXPECT_FALSE(error.empty());

    // A clean picture has no warning.
    image = decodeJpeg(detailedPicture().c_str(), error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->warning, "");
}

// A picture above the decode limit is refused before any pixel memory is allocated, with its
// size and the limit in the message; one above the texture limit is scaled down to fit.
TEST(TextureDecodeTest, HugePicturesAreRefusedAndLargeOnesScaledToTheTextureLimit) {
    // Rewrite the frame header of a small picture to claim 60000 x 60000 pixels.
    std::vector<char> bytes = readBytes(quadrantPicture());
    bool patched = false;
    for (std::size_t i = 0; i + 8 < bytes.size() && !patched; ++i)
        if (std::uint8_t(bytes[i]) == 0xFF && std::uint8_t(bytes[i + 1]) == 0xC0) {
            bytes[i + 5] = bytes[i + 7] = char(0xEA); // 0xEA60 = 60000, height then width
            bytes[i + 6] = bytes[i + 8] = char(0x60);
            patched = true;
        }
    ASSERT_TRUE(patched);
    const std::string path = picturePath("huge.jpg");
    writeBytes(path, bytes);
    std::string error;
    EXPECT_FALSE(decodeJpeg(path.c_str(), error));
    EXPECT_EQ(error, "it is 60000 x 60000 pixels, more than the 100 megapixels a picture may have");

    // 96 x 64 into 40: libjpeg decodes at 3/8 (36 x 24); into 10, at 1/8 (12 x 8) and then
    // averaged in blocks of two (6 x 4). The colours stay where they were.
    const std::string large = picturePath("large.jpg");
    writeJpeg(large, 96, 64, 3, JCS_RGB,
              [](int x, int y, JSAMPLE* out) { quadrants(x * 33 / 96, y / 4, out); });
    for (const auto& [maxSide, width, height] : {std::tuple{40u, 36, 24}, std::tuple{10u, 6, 4}}) {
        SCOPED_TRACE(maxSide);
        auto image = decodeJpeg(large.c_str(), error, maxSide);
        ASSERT_TRUE(image) << error;
        EXPECT_EQ(image->width, width);
        EXPECT_EQ(image->height, height);
        EXPECT_EQ(image->pixels.size(), std::size_t(width) * height * 3);
        expectRgbNear(image->pixels.data(), 255, 0, 0, 40);
        expectRgbNear(image->pixels.data() + image->pixels.size() - 3, 0, 255, 255, 40);
    }
}

// The loader decides nothing: a missing or undecodable picture makes no texture and one error
// report naming it and saying why; a picture libjpeg only warns about loads, with one warning
// for all the loads of it.
TEST(TextureGlTest, PictureProblemsAreReportedNotActedOn) {
    ASSERT_TRUE(ensureGlContext());
    writeBytes(picturePath("bad.jpg"), {'\xFF', '\xD8', '\xFF', '\xD9'});
    std::vector<char> cut = readBytes(detailedPicture());
    cut.resize(scanStart(cut) + 200);
    writeBytes(picturePath("cut.jpg"), cut);
    setDataDirectory(pictureDir());
    takeLoadReports();
    Texture slots[2] = {0, 0};
    EXPECT_FALSE(loadJpegTexture(slots, "missing.jpg", 0));
    EXPECT_FALSE(loadJpegTexture(slots, "bad.jpg", 0));
    EXPECT_EQ(slots[0], 0u);
    EXPECT_TRUE(loadJpegTexture(slots, "cut.jpg", 0));
    EXPECT_TRUE(loadJpegTexture(slots, "cut.jpg", 1));
    setDataDirectory("");
    EXPECT_NE(slots[0], 0u);
    EXPECT_NE(slots[1], 0u);
    const std::vector<LoadReport> reports = takeLoadReports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].text, "cannot load picture missing.jpg: No such file or directory");
    EXPECT_EQ(reports[1].file, "bad.jpg");
    EXPECT_EQ(reports[1].text.rfind("cannot load picture bad.jpg: ", 0), 0u) << reports[1].text;
    EXPECT_EQ(reports[2].text, "warning: picture cut.jpg: Premature end of JPEG file");
    for (const LoadReport& report : reports) {
        EXPECT_EQ(report.kind, LoadReport::Kind::Picture);
        EXPECT_EQ(report.warning, &report == &reports[2]);
    }
    gfx::deleteTextures(slots, 2);
}

// Rows of 99 bytes upload unskewed (the unpack alignment is 1 during the upload), row 0 of the
// texture is the file's first row, and the last row is there (33 x 16, no rescaling).
TEST(TextureGlTest, OddWidthUploadsUprightAndUnskewed) {
    ASSERT_TRUE(ensureGlContext());
    quadrantPicture();
    setDataDirectory(pictureDir());
    Texture slots[2] = {0, 0};
    loadJpegTexture(slots, "quadrants.jpg", 1);
    setDataDirectory("");
    ASSERT_NE(slots[1], 0u);
    EXPECT_EQ(slots[0], 0u);
    const int width = gfx::textureInfo(slots[1]).width;
    const int height = gfx::textureInfo(slots[1]).height;
    ASSERT_GT(width, 8);
    ASSERT_GT(height, 4);
    const std::vector<std::uint8_t> texels = gfx::readTexture(slots[1]);
    for (int y : {0, height / 4, height / 2 - 2, height / 2 + 1, height - 1}) {
        const bool top = y < height / 2;
        for (int x : {1, width / 4, width / 2 - 2, width / 2 + 2, width - 2}) {
            const bool left = x < width / 2;
            SCOPED_TRACE(testing::Message() << "texel " << x << ", " << y);
            expectRgbNear(&texels[(std::size_t(y) * width + x) * 3], left ? 255 : 0, top ? 0 : 255,
                          left ? 0 : 255, 40);
        }
    }
    gfx::deleteTexture(slots[1]);
}

} // namespace
