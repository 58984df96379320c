// The loading protocol: one unit of one entry per frame, in index order, the picture upright,
// and the hand-over to scene 1 under a black fade.
#include "app/loading_screen.h"
#include "app/scene_table.h"
#include "assets/data_folder.h"
#include "assets/texture.h"
#include "render/overlays.h"
#include "tests/gl_test_support.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <jpeglib.h>

namespace {

std::vector<int> loadLog;
int unitsLeft[sceneCount];

template <int Entry> int fakeLoad() {
    loadLog.push_back(Entry);
    return --unitsLeft[Entry] <= 0 ? 1 : 0;
}

template <int... Entries> void installFakeLoads(std::integer_sequence<int, Entries...>) {
    ((sceneTable[Entries].load = fakeLoad<Entries>), ...);
}

void writeJpeg(const std::string& path, int width, int height,
               const std::function<void(int x, int y, unsigned char* rgb)>& pixel) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(width * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixel(x, y, &row[x * 3]);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

// A table whose entries 1..12 need the given number of units each.
void prepareTable(const int (&units)[sceneCount]) {
    resetSceneTable();
    resetOverlays();
    loadIndex = 0;
    loadLog.clear();
    setDataDirectory(TUVERO_DATA_DIR);
    registerScenes(); // entry 0 and the loading picture, as before the main loop
    for (int i = 0; i < sceneCount; ++i)
        unitsLeft[i] = units[i];
}

} // namespace

TEST(LoadingScreen, RegistersThenLoadsOneUnitPerFrameInIndexOrderThenHandsOver) {
    ASSERT_TRUE(ensureGlContext());
    const int units[sceneCount] = {0, 3, 2, 1, 1, 2, 1, 4, 1, 2, 1, 5, 1};
    prepareTable(units);
    int frames = 0;
    while (currentScene == 0 && frames < 200) {
        if (loadIndex == 1 && loadLog.empty() && registeredCount == sceneCount)
            installFakeLoads(std::make_integer_sequence<int, sceneCount>{});
        loadingScreenFrame();
        ++frames;
    }
    // 12 frames of registration, then one frame per unit; the hand-over in the last one.
    EXPECT_EQ(frames, 12 + 24);
    ASSERT_EQ(loadLog.size(), 24u);
    EXPECT_TRUE(std::is_sorted(loadLog.begin(), loadLog.end()));
    EXPECT_EQ(currentScene, 1);
    EXPECT_EQ(loadIndex, sceneCount);
    EXPECT_FLOAT_EQ(fadeState.fadeAlpha, 1.0f) << "scene 1 opens under a full black fade";
    EXPECT_FLOAT_EQ(fadeState.fadeRate, 0.0001f);
    loadingScreenUnload();
}

TEST(LoadingScreen, DrawsThePictureUprightOverTheWholeScreen) {
    ASSERT_TRUE(ensureGlContext());
    std::string folder = ::testing::TempDir() + "/upright";
    std::filesystem::create_directories(folder);
    // Red in the file's first rows, blue in its last ones.
    writeJpeg(folder + "/loading.jpg", 64, 48, [](int, int y, unsigned char* rgb) {
        rgb[0] = y < 24 ? 255 : 0;
        rgb[1] = 0;
        rgb[2] = y < 24 ? 0 : 255;
    });
    resetSceneTable();
    loadIndex = 0;
    setDataDirectory(folder);
    registerScenes();
    sceneTable[0].load = [] { return 0; }; // stay on the loading screen
    loadingScreenFrame();
    Rgb top = pixelAt(320, 20), bottom = pixelAt(320, 460);
    EXPECT_GT(top.r, 200);
    EXPECT_LT(top.b, 60);
    EXPECT_GT(bottom.b, 200);
    EXPECT_LT(bottom.r, 60);
    Rgb corner = pixelAt(2, 2);
    EXPECT_GT(corner.r, 150) << "the picture reaches the corners";
    loadingScreenUnload();
}
