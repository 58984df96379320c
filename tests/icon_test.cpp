// The program's icon as the install rules and the icon theme expect it: one square RGBA PNG per
// size at hicolor/NxN/apps/tuvero.png, a tile that is opaque inside and clear at its corners.
#include "tests/process_support.h"
#include "tools/assets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <png.h>
#include <vector>

namespace fs = std::filesystem;

TEST(Icon, EverySizeIsASquareRgbaTileWithClearCorners) {
    const fs::path folder = freshFolder("icons");
    std::string error;
    ASSERT_TRUE(generateIcons(folder.string(), error)) << error;
    for (int size : iconSizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const fs::path path = folder / "hicolor" / name / "apps" / "tuvero.png";
        png_image png{};
        png.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&png, path.c_str())) << path;
        EXPECT_NE(png.format & PNG_FORMAT_FLAG_ALPHA, 0u) << path;
        ASSERT_EQ(png.width, png_uint_32(size));
        ASSERT_EQ(png.height, png_uint_32(size));
        png.format = PNG_FORMAT_RGBA;
        std::vector<png_byte> pixels(PNG_IMAGE_SIZE(png));
        ASSERT_TRUE(png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) << path;
        auto alpha = [&](int x, int y) { return pixels[(std::size_t(y) * size + x) * 4 + 3]; };
        EXPECT_EQ(alpha(0, 0), 0) << name;
        EXPECT_EQ(alpha(size - 1, size - 1), 0) << name;
        EXPECT_EQ(alpha(size / 2, size / 2), 255) << name;
        EXPECT_EQ(alpha(size / 2, size / 16), 255) << name << ": the tile nearly fills the icon";
        EXPECT_FALSE(fs::exists(path.string() + ".part"));
    }
}
