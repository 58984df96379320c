// Offline capture: exact and repeatable frames and soundtrack, syncs on the frame that holds
// their note, and clean failures.
#include "tests/music_test_support.h"
#include "tests/process_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <png.h>
#include <regex>

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

fs::path freshFolder(const std::string& name) {
    fs::path folder = fs::path(::testing::TempDir()) / name;
    fs::remove_all(folder);
    return folder;
}

ProcessResult capture(const std::vector<std::string>& options,
                      const std::string& dataDir = TUVERO_DATA_DIR) {
    std::vector<std::string> args = {TUVERO_BINARY};
    args.insert(args.end(), options.begin(), options.end());
    return runProcess(args, dataDir, 300);
}

struct Picture {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> pixels; // rows from the top; empty if unreadable
};

Picture readPng(const fs::path& path, png_uint_32 format = PNG_FORMAT_RGB) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = format;
    picture.pixels.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr))
        picture.width = image.width, picture.height = image.height;
    else
        picture.pixels.clear();
    png_image_free(&image);
    return picture;
}

// Mean brightness of a frame's PNG (0..255), -1 if it cannot be read.
double brightness(const fs::path& path) {
    const Picture grey = readPng(path, PNG_FORMAT_GRAY);
    if (grey.pixels.empty()) return -1;
    double sum = 0;
    for (unsigned char p : grey.pixels)
        sum += p;
    return sum / grey.pixels.size();
}

fs::path framePath(const fs::path& folder, long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06ld.png", frame);
    return folder / name;
}

long countFrames(const fs::path& folder) {
    long count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".png") ++count;
    return count;
}

} // namespace

TEST(Capture, TwoRunsGiveTheSameFramesAndSoundtrackOfTheRightLength) {
    fs::path first = freshFolder("capture_a"), second = freshFolder("capture_b");
    for (const fs::path& folder : {first, second}) {
        auto result =
            capture({"--capture", folder.string() + "/", "--duration", "2", "--fps", "25"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.err.find("capture: frame 50 of 50"), std::string::npos) << result.err;
    }
    ASSERT_EQ(countFrames(first), 50);
    ASSERT_EQ(countFrames(second), 50);
    for (long frame = 0; frame < 50; ++frame)
        EXPECT_EQ(readAll(framePath(first, frame)), readAll(framePath(second, frame)))
            << "frame " << frame;
    std::string wav = readAll(first / "music.wav");
    EXPECT_EQ(wav, readAll(second / "music.wav"));
    // 2 s of 16-bit stereo at 48 kHz after the 44-byte header: exactly the frames' length.
    EXPECT_EQ(wav.size(), 44u + 2 * 48000 * 4);
    const Picture picture = readPng(framePath(first, 0));
    EXPECT_EQ(picture.width, 640u);
    EXPECT_EQ(picture.height, 480u);
}

TEST(Capture, ScaledFramesKeepEveryPixelSharp) {
    fs::path plain = freshFolder("capture_plain"), scaled = freshFolder("capture_scaled");
    ASSERT_EQ(capture({"--capture", plain.string() + "/", "--duration", "0.5"}).exitCode, 0);
    ASSERT_EQ(
        capture({"--capture", scaled.string() + "/", "--duration", "0.5", "--scale", "2"}).exitCode,
        0);
    const Picture a = readPng(framePath(plain, 29)), b = readPng(framePath(scaled, 29));
    ASSERT_EQ(a.width, 640u);
    ASSERT_EQ(b.width, 1280u);
    ASSERT_EQ(b.height, 960u);
    // Nearest neighbour: the scaled frame is the plain one with every pixel doubled.
    const auto& pa = a.pixels;
    const auto& pb = b.pixels;
    int mismatches = 0;
    for (int y = 0; y < 960; y += 7)
        for (int x = 0; x < 1280; x += 5)
            for (int c = 0; c < 3; ++c)
                mismatches += pb[(y * 1280 + x) * 3 + c] != pa[((y / 2) * 640 + x / 2) * 3 + c];
    EXPECT_EQ(mismatches, 0);
}

// A module whose one instrument-3 note sounds 1200 ms after the music starts: its white flash
// must be on the frame whose time span holds that moment, not a frame later.
TEST(Capture, ASyncsFlashIsOnTheFrameThatContainsItsNote) {
    fs::path data = freshFolder("capture_data"), out = freshFolder("capture_sync");
    fs::create_directories(data);
    for (const auto& entry : fs::directory_iterator(TUVERO_DATA_DIR))
        if (entry.path().filename() != "musa.mo3")
            fs::copy_file(entry.path(), data / entry.path().filename());
    xm::Module module = testModule(64);
    noteAt(module, 10, 0, 3);
    fs::copy_file(writeTestModule(module, "capture_sync.xm"), data / "musa.mo3");

    auto result =
        capture({"--capture", out.string() + "/", "--duration", "6", "--fps", "30", "--trace"},
                data.string());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::smatch scene, sync;
    ASSERT_TRUE(std::regex_search(result.out, scene, std::regex("scene 1 frame (\\d+)")));
    ASSERT_TRUE(std::regex_search(result.out, sync, std::regex("sync 1 frame (\\d+)")));
    const long handOver = std::stol(scene[1]) - 1; // the music starts on the hand-over frame
    // Frame n starts at floor(n * 1000 / 30) ms; the note sounds 1200 ms after the hand-over.
    const long noteMs = handOver * 1000 / 30 + 1200;
    long containing = 0;
    while ((containing + 1) * 1000 / 30 <= noteMs)
        ++containing;
    EXPECT_EQ(std::stol(sync[1]), containing);
    EXPECT_GT(brightness(framePath(out, containing)), 200) << "the flash starts white";
    EXPECT_LT(brightness(framePath(out, containing - 1)), 60) << "still under the black fade";
}

TEST(Capture, BadTargetsFailCleanlyAndLeaveNothingBehind) {
    fs::path folder = freshFolder("capture_bad");
    fs::create_directories(folder);
    struct Case {
        std::string target;
        std::vector<std::string> environment;
        std::string message;
    } cases[] = {
        {(folder / "show.avi").string(), {}, "FILE.mkv, FILE.mp4 or a folder"},
        {(folder / "missing/show.mkv").string(), {}, "no folder"},
        {(folder / "show.mkv").string(), {"PATH=/nonexistent"}, "ffmpeg is not on the PATH"},
    };
    for (const Case& c : cases) {
        auto result = runProcess({TUVERO_BINARY, "--capture", c.target, "--duration", "1"},
                                 TUVERO_DATA_DIR, 60, c.environment);
        EXPECT_EQ(result.exitCode, 1) << c.target;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(Capture, VideoWithSoundtrackThroughFfmpeg) {
    ASSERT_FALSE(shellOutput("command -v ffmpeg").empty())
        << "ffmpeg is not installed (scripts/install-deps installs it)";
    fs::path folder = freshFolder("capture_video");
    fs::create_directories(folder);
    for (const char* name : {"show.mkv", "show.mp4"}) {
        auto result = capture({"--capture", (folder / name).string(), "--duration", "1"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        std::string streams = shellOutput("ffprobe -v error -show_entries stream=codec_type "
                                          "-of csv=p=0 " +
                                          (folder / name).string() + " | sort | tr '\\n' ' '");
        EXPECT_EQ(streams, "audio video") << name;
    }
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}
