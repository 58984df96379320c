// The flash analysis on made-up frame sequences at 60 frames a second.
#include "offline/flash_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace {

constexpr int width = 128, height = 96; // the field: 43 x 32 pixels, a quarter is 344
constexpr int fps = 60;

struct Rgb {
    std::uint8_t r, g, b;
};

using Picture = std::vector<std::uint8_t>;

Picture filled(Rgb colour) {
    Picture p(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < p.size(); i += 3) {
        p[i] = colour.r;
        p[i + 1] = colour.g;
        p[i + 2] = colour.b;
    }
    return p;
}

// `colour` over a `background`, in the square of side `side` at (x, y).
Picture square(Rgb background, Rgb colour, int x, int y, int side) {
    Picture p = filled(background);
    for (int row = y; row < y + side; ++row)
        for (int column = x; column < x + side; ++column) {
            std::uint8_t* at = &p[(static_cast<size_t>(row) * width + column) * 3];
            at[0] = colour.r;
            at[1] = colour.g;
            at[2] = colour.b;
        }
    return p;
}

struct Sequence {
    std::vector<FlashFrame> frames;
    std::vector<long> failingSeconds;
    int mostGeneral() const {
        int most = 0;
        for (const auto& f : frames)
            most = std::max(most, f.generalFlashes);
        return most;
    }
    int mostRed() const {
        int most = 0;
        for (const auto& f : frames)
            most = std::max(most, f.redFlashes);
        return most;
    }
};

Sequence analyse(int count, const std::function<Picture(int)>& frameAt, long firstFrame = 0) {
    FlashAnalyzer analyzer(width, height, fps, firstFrame);
    Sequence run;
    for (int i = 0; i < count; ++i) {
        const Picture p = frameAt(i);
        run.frames.push_back(analyzer.addFrame(p.data()));
    }
    run.failingSeconds = analyzer.failingSeconds();
    return run;
}

// Alternates between two pictures, `hertz` full cycles a second.
Sequence flicker(double hertz, const Picture& a, const Picture& b, int seconds = 3) {
    const double halfPeriod = fps / hertz / 2;
    return analyse(seconds * fps, [&](int i) { return int(i / halfPeriod) % 2 ? b : a; });
}

const Rgb black{0, 0, 0}, white{255, 255, 255};

TEST(FlashAnalysis, FullFrameFlickerFailsAtFiveHertzAndPassesAtTwo) {
    const Sequence fast = flicker(5, filled(black), filled(white));
    EXPECT_EQ(fast.mostGeneral(), 5);
    EXPECT_EQ(fast.failingSeconds, (std::vector<long>{0, 1, 2}));
    EXPECT_DOUBLE_EQ(fast.frames[6].area, 1.0);
    EXPECT_TRUE(fast.frames[6].generalTransition);

    const Sequence slow = flicker(2, filled(black), filled(white));
    EXPECT_TRUE(slow.failingSeconds.empty());
    EXPECT_EQ(slow.mostGeneral(), 2);
}

TEST(FlashAnalysis, FailingSecondsCountFromTheFirstFrameGiven) {
    const Picture dark = filled(black), bright = filled(white);
    const Sequence run = analyse(
        2 * fps, [&](int i) { return (i / 6) % 2 ? bright : dark; }, 10 * fps);
    EXPECT_EQ(run.frames.front().frame, 600);
    EXPECT_EQ(run.failingSeconds, (std::vector<long>{10, 11}));
    EXPECT_EQ(formatSeconds({3, 4, 5, 9, 11, 12}), "3-5, 9, 11-12");
    EXPECT_EQ(formatSeconds({}), "");
}

TEST(FlashAnalysis, AFlashingSquareFailsOnlyAboveAQuarterOfTheField) {
    // 16 x 16 = 256 pixels: below a quarter of the 43 x 32 field.
    const Sequence small = flicker(5, filled(black), square(black, white, 50, 40, 16));
    EXPECT_TRUE(small.failingSeconds.empty());
    EXPECT_EQ(small.mostGeneral(), 0);
    EXPECT_LT(small.frames[6].area, 0.25);

    // 24 x 24 = 576 pixels, in the far corner: the field is searched at every position.
    const Sequence large =
        flicker(5, filled(black), square(black, white, width - 24, height - 24, 24));
    EXPECT_FALSE(large.failingSeconds.empty());
    EXPECT_GT(large.frames[6].area, 0.25);
}

TEST(FlashAnalysis, DarkGreysAndSlowFadesAreNoFlash) {
    // sRGB 20 and 70: relative luminance 0.007 and 0.061, less than a tenth apart.
    const Sequence greys = flicker(5, filled({20, 20, 20}), filled({70, 70, 70}));
    EXPECT_TRUE(greys.failingSeconds.empty());
    EXPECT_EQ(greys.mostGeneral(), 0);

    // Changes between two light states (the darker one at 0.8 or above) are no flash either.
    const Sequence light = flicker(5, filled({232, 232, 232}), filled(white));
    EXPECT_EQ(light.mostGeneral(), 0);

    // Black to white and back over three seconds, in small steps: one rise, one fall.
    const Sequence fade = analyse(3 * fps, [](int i) {
        const int level = i < 90 ? i * 255 / 90 : (180 - i) * 255 / 90;
        const auto v = static_cast<std::uint8_t>(level);
        return filled({v, v, v});
    });
    EXPECT_TRUE(fade.failingSeconds.empty());
    EXPECT_LE(fade.mostGeneral(), 1);
}

// Black and white stripes `stripe` pixels wide, moving `speed` pixels a frame.
Sequence movingStripes(int stripe, int speed) {
    return analyse(2 * fps, [=](int i) {
        Picture p = filled(black);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((x + i * speed) / stripe % 2)
                    std::fill_n(&p[(size_t(y) * width + x) * 3], 3, 255);
        return p;
    });
}

// A pattern moving across the frame turns its pixels over many times a second, yet the
// picture as a whole does not flash: fine detail averages out, and broad stripes brighten one
// part of a field as they darken the next.
TEST(FlashAnalysis, PatternsMovingAcrossTheFrameAreNoFlash) {
    EXPECT_EQ(movingStripes(1, 1).mostGeneral(), 0);
    const Sequence broad = movingStripes(6, 3);
    EXPECT_EQ(broad.mostGeneral(), 0);
    EXPECT_TRUE(broad.failingSeconds.empty());
}

// The show's own kind of flash: white at once, fading out over 200 ms. The fall is spread
// over several frames and still completes the flash.
TEST(FlashAnalysis, SuddenFlashesThatFadeOutCountByTheirRate) {
    auto flashes = [](int perSecond) {
        const int period = fps / perSecond;
        return analyse(3 * fps, [period](int i) {
            const int since = i % period;
            const double alpha = std::max(0.0, 1.0 - since * (1000.0 / fps) * 0.005);
            const auto v = static_cast<std::uint8_t>(40 + (255 - 40) * alpha);
            return filled({v, v, v});
        });
    };
    EXPECT_FALSE(flashes(4).failingSeconds.empty());
    EXPECT_EQ(flashes(4).mostGeneral(), 4);
    EXPECT_TRUE(flashes(3).failingSeconds.empty());
}

TEST(FlashAnalysis, SaturatedRedAlternationFailsAsARedFlash) {
    // Red against a grey of nearly the same luminance: hardly a general transition.
    const Sequence red = flicker(5, filled({127, 127, 127}), filled({255, 0, 0}));
    EXPECT_EQ(red.mostGeneral(), 0);
    EXPECT_GE(red.mostRed(), 4);
    EXPECT_FALSE(red.failingSeconds.empty());

    // The same alternation in an unsaturated pink is no red flash.
    const Sequence pink = flicker(5, filled({127, 127, 127}), filled({255, 140, 140}));
    EXPECT_EQ(pink.mostRed(), 0);
}

} // namespace
