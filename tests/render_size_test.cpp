// The picture drawn larger than 640 x 480: how its size is chosen, copies of a multisampled
// frame and a window resize.
#include "app/projection.h"
#include "platform/platform.h"
#include "render/frame_size.h"
#include "render/gfx.h"
#include "startup/options.h"
#include "startup/render_size.h"
#include "tests/gl_test_support.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

int textureWidth(Texture texture) { return gfx::textureInfo(texture).width; }

// Every texel of the first `rows` rows of the texture, `width` wide and no taller, is this
// colour (within 2).
::testing::AssertionResult textureIsAll(Texture texture, int width, int rows, Rgb colour) {
    const std::vector<std::uint8_t> texels = gfx::readTexture(texture);
    if (texels.size() < static_cast<size_t>(width) * rows * 3)
        return ::testing::AssertionFailure()
               << "the texture is smaller than " << width << " x " << rows;
    for (size_t i = 0; i < static_cast<size_t>(width) * rows * 3; i += 3) {
        const int want[3] = {colour.r, colour.g, colour.b};
        for (int c = 0; c < 3; ++c)
            if (std::abs(texels[i + c] - want[c]) > 2)
                return ::testing::AssertionFailure()
                       << "texel " << i / 3 % width << ", " << i / 3 / width << " is "
                       << int(texels[i]) << " " << int(texels[i + 1]) << " " << int(texels[i + 2]);
    }
    return ::testing::AssertionSuccess();
}

// Clears the whole picture blue and its bottom-left `units` x `units` (screen units) red.
void paintRedCorner(int units) {
    gfx::setScissor(false);
    gfx::setClearColor(0, 0, 1, 1);
    gfx::clear(true, false);
    gfx::setScissor(true, 0, 0, framePixels(units), framePixels(units));
    gfx::setClearColor(1, 0, 0, 1);
    gfx::clear(true, false);
    gfx::setScissor(false);
}

// Puts the shared context back as the other tests expect it.
struct ClassicPictureAfterwards {
    ~ClassicPictureAfterwards() {
        std::string error;
        platform::setWindowSize(640, 480);
        platform::setPictureSize({false, 640, 480, 0}, error);
        setupProjection();
    }
};

} // namespace

TEST(RenderSize, OptionsTakeA43SizeOrClassicAndSampleCounts) {
    ShowOptions sized;
    ASSERT_EQ(parseWords({"--render-size", "1920x1440", "--msaa", "8"}, sized), 0);
    EXPECT_EQ(sized.renderWidth, 1920);
    EXPECT_EQ(sized.renderHeight, 1440);
    EXPECT_EQ(sized.msaa, 8);
    ShowOptions capture;
    ASSERT_EQ(parseWords({"--capture", "c/", "--render-size", "800x600"}, capture), 0);
    EXPECT_EQ(capture.capture->width, 800) << "a capture is written at the render size";
    EXPECT_EQ(capture.capture->height, 600);
    ShowOptions classicCapture;
    ASSERT_EQ(parseWords({"--capture", "c/", "--scale", "2"}, classicCapture), 0);
    EXPECT_EQ(classicCapture.capture->width, 640);

    int width = 0, height = 0;
    for (const char* bad : {"1920x1080", "0x0", "640x", "x480", "640x480x", "-640x-480", "640X480",
                            "120x90", "8000x6000", "99999999999x1", " 640x480", "0640x480"}) {
        // "0640x480" reads as 640 x 480 and is harmless; everything else is refused.
        const bool read = parseRenderSize(bad, width, height);
        EXPECT_EQ(read, std::string(bad) == "0640x480") << bad;
    }
}

TEST(RenderSize, SoftwareRenderersAndOfflineRunsStayClassicUnlessASizeIsGiven) {
    ShowOptions none;
    const RenderChoice hardware = chooseRenderSize(none, false, "AMD Radeon RX 6600 (radeonsi)");
    EXPECT_TRUE(hardware.size.followDrawable);
    EXPECT_FALSE(hardware.classic);
    EXPECT_EQ(hardware.size.samples, -1) << "4 samples once above 640 x 480";
    EXPECT_TRUE(hardware.note.empty());
    EXPECT_TRUE(hardware.anisotropic);

    const RenderChoice software = chooseRenderSize(none, false, "llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_TRUE(software.classic);
    EXPECT_FALSE(software.size.followDrawable);
    EXPECT_EQ(software.size.width, 640);
    EXPECT_EQ(software.size.samples, 0);
    EXPECT_NE(software.note.find("--render-size"), std::string::npos) << software.note;
    EXPECT_FALSE(software.anisotropic);
    EXPECT_TRUE(isSoftwareRenderer("softpipe"));
    EXPECT_TRUE(isSoftwareRenderer("Software Rasterizer"));

    EXPECT_TRUE(chooseRenderSize(none, true, "AMD Radeon").classic) << "offline";
    EXPECT_TRUE(chooseRenderSize(none, true, "llvmpipe").note.empty()) << "offline says nothing";

    ShowOptions classic;
    classic.classic = true;
    EXPECT_TRUE(chooseRenderSize(classic, false, "llvmpipe").note.empty());

    ShowOptions sized;
    sized.renderWidth = 1280;
    sized.renderHeight = 960;
    const RenderChoice given = chooseRenderSize(sized, true, "llvmpipe");
    EXPECT_FALSE(given.classic);
    EXPECT_FALSE(given.size.followDrawable);
    EXPECT_EQ(given.size.width, 1280);
    EXPECT_EQ(given.size.height, 960);
    EXPECT_EQ(given.size.samples, 0) << "multisampling only when asked for, in software";
    EXPECT_NE(given.note.find("--msaa"), std::string::npos) << given.note;
    EXPECT_FALSE(given.anisotropic) << "too slow in software";
    EXPECT_TRUE(chooseRenderSize(sized, true, "AMD Radeon").anisotropic);
    EXPECT_EQ(chooseRenderSize(sized, true, "AMD Radeon").size.samples, -1);
    sized.msaa = 4;
    EXPECT_EQ(chooseRenderSize(sized, true, "llvmpipe").size.samples, 4);
}

TEST(RenderSize, CopiesFromAMultisampledPictureAreResolvedAndCoverTheScaledArea) {
    ASSERT_TRUE(ensureGlContext());
    ClassicPictureAfterwards restore;
    std::string error;
    ASSERT_TRUE(platform::setPictureSize({false, 1280, 960, 4}, error)) << error;
    if (platform::pictureSamples() == 0) GTEST_SKIP() << "the driver has no multisampling";
    ASSERT_EQ(platform::frameWidth(), 1280);
    Texture live = 0;
    createFrameSizedTexture(&live, 256, 256, 0);
    ASSERT_EQ(textureWidth(live), 512);

    paintRedCorner(256);
    copyFrameIntoTexture(live, 256, 256);
    EXPECT_TRUE(textureIsAll(live, 512, 512, {255, 0, 0}));
    // What is read back is the resolved picture too.
    EXPECT_EQ(pixelAt(10, 950).r, 255);
    EXPECT_EQ(pixelAt(1270, 10).b, 255);
    gfx::deleteTexture(live);
}

TEST(RenderSize, ResizingTheWindowRemakesThePictureAndEveryFrameSizedTexture) {
    ASSERT_TRUE(ensureGlContext());
    ClassicPictureAfterwards restore;
    std::string error;
    ASSERT_TRUE(platform::setPictureSize({true, 640, 480, 0}, error)) << error;
    ASSERT_EQ(platform::frameWidth(), 640);
    Texture textures[2] = {0, 0};
    createFrameSizedTexture(textures, 256, 256, 0);
    createFrameSizedTexture(textures, 640, 480, 1);
    paintRedCorner(512);
    copyFrameIntoTexture(textures[0], 256, 256);
    copyFrameIntoTexture(textures[1], 640, 480);

    // The 4:3 area of 1030 x 800, its width a multiple of 4: 1028 x 771.
    platform::setWindowSize(1030, 800);
    for (int i = 0; i < 100 && platform::frameWidth() == 640; ++i) {
        platform::pumpEvents();
        platform::presentFrame();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(platform::frameWidth(), 1028);
    EXPECT_EQ(platform::frameHeight(), 771);
    EXPECT_EQ(gfx::currentState().viewport[2], 1028);
    EXPECT_EQ(gfx::currentState().viewport[3], 771);

    followFrameSize();
    EXPECT_EQ(textureWidth(textures[0]), framePixels(256));
    EXPECT_EQ(textureWidth(textures[1]), framePixels(640));
    EXPECT_TRUE(textureIsAll(textures[0], framePixels(256), framePixels(256), {255, 0, 0}))
        << "the picture is carried over to the new size";

    // Copies at the new size fill the new textures.
    gfx::setClearColor(0, 1, 0, 1);
    gfx::clear(true, false);
    copyFrameIntoTexture(textures[1], 640, 480);
    EXPECT_TRUE(textureIsAll(textures[1], framePixels(640), framePixels(480), {0, 255, 0}));
    // The new size was recorded: the next frame at the same size leaves the textures alone.
    const Texture remade = textures[1];
    followFrameSize();
    EXPECT_EQ(textures[1], remade);
    EXPECT_TRUE(textureIsAll(textures[1], framePixels(640), framePixels(480), {0, 255, 0}));
    gfx::deleteTextures(textures, 2);
    textures[0] = textures[1] = 0;
    followFrameSize(); // forgets the emptied slots
}
