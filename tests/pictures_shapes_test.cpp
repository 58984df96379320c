// Shapes, lettering looks and the JPEG round trip of the generator's toolkit.
#include "tools/image_io.h"
#include "tools/image_ops.h"
#include "tools/image_shapes.h"
#include "tools/picture_style.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace {

TEST(PicturesShapes, DistancesAreSignedAndCoverageIsAntiAliased) {
    EXPECT_FLOAT_EQ(sdCircle({13, 10}, {10, 10}, 5), -2);
    EXPECT_FLOAT_EQ(sdCircle({20, 10}, {10, 10}, 5), 5);
    EXPECT_FLOAT_EQ(sdBox({10, 10}, {10, 10}, 4, 2), -2);
    EXPECT_FLOAT_EQ(sdBox({17, 10}, {10, 10}, 4, 2), 3);
    // A rounded corner is further away than the sharp one.
    EXPECT_GT(sdBox({15, 13}, {10, 10}, 4, 2, 1.5f), sdBox({15, 13}, {10, 10}, 4, 2));
    EXPECT_FLOAT_EQ(sdSegment({5, 3}, {0, 0}, {10, 0}, 1), 2);
    EXPECT_FLOAT_EQ(coverage(-3), 1);
    EXPECT_FLOAT_EQ(coverage(3), 0);
    EXPECT_FLOAT_EQ(coverage(0), 0.5f);
}

TEST(PicturesShapes, StarPolygonHasItsTipsAndAHollowBetweenThem) {
    std::vector<Point> star = starPolygon({50, 50}, 5, 40, 15, 0);
    ASSERT_EQ(star.size(), 10u);
    EXPECT_NEAR(star[0].x, 50, 1e-4);
    EXPECT_NEAR(star[0].y, 10, 1e-4);          // first tip straight up
    EXPECT_LT(sdPolygon({50, 50}, star), -10); // the centre is inside
    EXPECT_LT(sdPolygon({50, 14}, star), 0);   // just below the top tip
    EXPECT_GT(sdPolygon({50, 5}, star), 0);    // beyond the tip
    // Between two tips, at the radius of the tips, lies the notch: outside.
    float a = 3.14159265f / 5;
    EXPECT_GT(sdPolygon({50 + 35 * std::sin(a), 50 - 35 * std::cos(a)}, star), 0);
    Mask m = shapeMask(100, 100, [&](Point p) { return sdPolygon(p, star); });
    double area = 0;
    for (float v : m.data)
        area += v;
    // Area of a star polygon: 10 triangles of sides 40 and 15 at 36 degrees.
    double expected = 10 * 0.5 * 40 * 15 * std::sin(a);
    EXPECT_NEAR(area, expected, expected * 0.02);
}

TEST(PicturesStyle, RampsClampAndInterpolate) {
    Rgb black{0, 0, 0}, white{1, 1, 1}, red{1, 0, 0};
    EXPECT_FLOAT_EQ(ramp({{0.2f, black}, {0.6f, white}, {1, red}}, 0).r, 0);
    EXPECT_FLOAT_EQ(ramp({{0.2f, black}, {0.6f, white}, {1, red}}, 0.4f).g, 0.5f);
    EXPECT_FLOAT_EQ(ramp({{0.2f, black}, {0.6f, white}, {1, red}}, 0.8f).g, 0.5f);
    EXPECT_FLOAT_EQ(ramp({{0.2f, black}, {0.6f, white}, {1, red}}, 7).g, 0);
}

TEST(PicturesStyle, LettersAreFilledOutlinedAndShadowedWhereAsked) {
    Mask letter = shapeMask(80, 80, [](Point p) { return sdBox(p, {40, 40}, 10, 10); });
    Image image(80, 80, Rgb{0.5f, 0.5f, 0.5f});
    LetterLook look;
    look.top = look.bottom = Rgb{1, 0, 0};
    look.outline = Rgb{0, 0, 1};
    look.outlineWidth = 4;
    look.shadowOpacity = 1;
    look.shadowDx = 15;
    look.shadowDy = 15;
    look.shadowBlur = 1;
    paintLetters(image, letter, look);
    EXPECT_FLOAT_EQ(image.at(40, 40).r, 1);  // fill
    EXPECT_GT(image.at(40, 28).b, 0.9f);     // outline just outside the top edge
    EXPECT_LT(image.at(62, 62).r, 0.1f);     // shadow down and right
    EXPECT_FLOAT_EQ(image.at(5, 5).r, 0.5f); // untouched elsewhere
    EXPECT_EQ(inkRows(letter), std::make_pair(30, 50));
}

TEST(PicturesIo, JpegRoundTripKeepsFlatLevelsAndSmoothGradients) {
    Image image(64, 32);
    fillWith(image, [](float x, float y) {
        if (y < 16) return x < 32 ? Rgb{1, 1, 1} : Rgb{0, 0, 0};
        return Rgb{x / 64, 0.5f, 1 - x / 64};
    });
    auto path = std::filesystem::temp_directory_path() /
                ("tuvero_roundtrip_" + std::to_string(getpid()) + ".jpg");
    std::string error;
    ASSERT_TRUE(writeJpeg(path.string(), image, error)) << error;
    JpegInfo info;
    ASSERT_TRUE(readJpeg(path.string(), info, error)) << error;
    std::filesystem::remove(path);
    Image back = toImage(info);
    ASSERT_EQ(back.width, 64);
    ASSERT_EQ(back.height, 32);
    // Flat 8 x 8 blocks away from the edge between them come back exactly: a mask's white keeps
    // the frame unchanged and a light's black adds nothing.
    EXPECT_FLOAT_EQ(back.at(4, 4).r, 1);
    EXPECT_FLOAT_EQ(back.at(60, 4).g, 0);
    double worst = 0;
    for (int x = 0; x < 64; ++x) {
        Rgb a = image.at(x, 28), b = back.at(x, 28);
        worst = std::max({worst, double(std::fabs(a.r - b.r)), double(std::fabs(a.b - b.b))});
    }
    EXPECT_LT(worst, 0.03);
}

} // namespace
