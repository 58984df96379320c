// The generator's drawing toolkit: byte conversion, resampling, seamless noise and blur, and
// anti-aliased text placed where it was asked to go.
#include "tools/font_text.h"
#include "tools/image_io.h"
#include "tools/image_noise.h"
#include "tools/image_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(PicturesCanvas, BytesClampAndKeepExactLevels) {
    Image image(4, 1);
    image.at(0, 0) = {0, 1, 0.5f};
    image.at(1, 0) = {-3, 7, std::numeric_limits<float>::quiet_NaN()};
    image.at(2, 0) = {128 / 255.0f, 1 / 255.0f, 254 / 255.0f};
    image.at(3, 0) = {std::numeric_limits<float>::infinity(), -0.0f, 0.25f};
    std::vector<std::uint8_t> b = toBytes(image);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[1], 255);
    EXPECT_NEAR(b[2], 128, 1); // between levels: the dither may pick either neighbour
    EXPECT_EQ(b[3], 0);
    EXPECT_EQ(b[4], 255);
    EXPECT_EQ(b[5], 0); // NaN becomes black, not an undefined byte
    EXPECT_EQ(b[6], 128);
    EXPECT_EQ(b[7], 1);
    EXPECT_EQ(b[8], 254);
    EXPECT_EQ(b[9], 255);
    EXPECT_EQ(b[10], 0);
}

TEST(PicturesCanvas, ResizingKeepsTheAverageAndHardEdgesWhereAligned) {
    Mask m(300, 100);
    fillWith(m, [](float x, float) { return x < 150 ? 1.0f : 0.0f; });
    for (auto [w, h] : {std::pair{128, 64}, {512, 256}, {77, 13}}) {
        Mask r = resized(m, w, h);
        double sum = 0;
        for (float v : r.data)
            sum += v;
        EXPECT_NEAR(sum / r.data.size(), 0.5, 1e-3) << w << "x" << h;
        EXPECT_FLOAT_EQ(r.at(0, 0), 1);
        EXPECT_FLOAT_EQ(r.at(w - 1, h - 1), 0);
    }
    Mask half = resized(m, 150, 50);
    EXPECT_FLOAT_EQ(half.at(74, 10), 1);
    EXPECT_FLOAT_EQ(half.at(75, 10), 0);
}

TEST(PicturesCanvas, PeriodicNoiseAndWrappedBlurRepeat) {
    for (float x : {0.0f, 0.3f, 2.7f, 7.99f}) {
        for (float y : {0.0f, 1.5f, 5.25f}) {
            // Equal up to the rounding of x + 8 in single precision.
            EXPECT_NEAR(valueNoise(x, y, 5, 8), valueNoise(x + 8, y, 5, 8), 1e-5);
            EXPECT_NEAR(valueNoise(x, y, 5, 8), valueNoise(x, y - 8, 5, 8), 1e-5);
            EXPECT_NEAR(fractalNoise(x, y, 5, 4, 8), fractalNoise(x + 8, y + 8, 5, 4, 8), 1e-5);
            float v = fractalNoise(x, y, 9, 5);
            EXPECT_GE(v, 0);
            EXPECT_LT(v, 1);
        }
    }
    // A bright stripe on the left edge, blurred as a tile, spreads to the right edge too.
    Mask m(64, 64);
    for (int y = 0; y < 64; ++y)
        m.at(0, y) = 1;
    Mask wrapped = blur(m, 4, true), clamped = blur(m, 4, false);
    EXPECT_NEAR(wrapped.at(63, 10), wrapped.at(1, 10), 1e-5);
    EXPECT_LT(clamped.at(63, 10), 1e-6);
}

TEST(PicturesCanvas, FittedTextIsAntiAliasedAndStaysInItsBox) {
    Font font("DejaVuSans-Bold.ttf");
    Mask m(400, 200);
    font.drawFitted(m, "SO MANY", 50, 60, 300, 80, {40, 1, 4});
    int minX = 400, maxX = -1, minY = 200, maxY = -1, partial = 0, full = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 400; ++x) {
            float v = m.at(x, y);
            if (v <= 0) continue;
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
            if (v >= 1)
                ++full;
            else
                ++partial;
        }
    }
    EXPECT_GE(minX, 49);
    EXPECT_LE(maxX, 351);
    EXPECT_GE(minY, 59);
    EXPECT_LE(maxY, 141);
    // It fills the box in one direction (the text is wider than 300:80, so the width).
    EXPECT_GE(maxX - minX, 290);
    EXPECT_GT(partial, 200) << "edges are not anti-aliased";
    EXPECT_GT(full, 2000);
}

TEST(PicturesCanvas, MissingFontIsReportedAsAnError) {
    EXPECT_THROW(Font("no-such-font.ttf"), PictureError);
}

} // namespace
