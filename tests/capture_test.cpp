// Offline capture: exact frames and soundtrack, clips, syncs on the frame that holds their note,
// and clean failures.
#include "tests/music_test_support.h"
#include "tests/process_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace fs = std::filesystem;

namespace {

ProcessResult capture(const std::vector<std::string>& options) {
    return runProgram(options, TUVERO_DATA_DIR);
}

// Mean brightness of a frame (0..255), -1 if it cannot be read.
double brightness(const fs::path& path) {
    const RgbImage picture = readPicture(path);
    if (picture.pixels.empty()) return -1;
    double sum = 0;
    for (std::uint8_t p : picture.pixels)
        sum += p;
    return sum / picture.pixels.size();
}

long countFrames(const fs::path& folder) {
    long count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += entry.path().extension() == ".png";
    return count;
}

} // namespace

// A whole-show capture runs to the final picture and holds it for --hold seconds, then ends by
// itself with the length it promised (at 2 frames a second, to be quick: the show's steps are
// coarse, its timing is not).
TEST(Capture, AWholeShowEndsAfterHoldingTheFinalPicture) {
    const fs::path dir = freshFolder("capture_whole_show");
    const ProcessResult result = runProgram(
        {"--capture", dir.string() + "/", "--fps", "2", "--hold", "3"}, TUVERO_DATA_DIR, 290);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const long frames = countFrames(dir);
    EXPECT_GT(frames, 150 * 2) << "the whole show";
    EXPECT_NE(result.err.find("capture: frame " + std::to_string(frames) + " of " +
                              std::to_string(frames) + ","),
              std::string::npos)
        << result.err;
    // The held picture: the last two seconds show one picture (its background still drifts a
    // little), and not a black one.
    const RgbImage last = readPicture(framePath(dir, frames - 1));
    for (long n = frames - 4; n < frames - 1; ++n)
        EXPECT_GT(psnr(readPicture(framePath(dir, n)), last), 30) << "frame " << n;
    EXPECT_GT(brightness(framePath(dir, frames - 1)), 10);
    EXPECT_EQ(fs::file_size(dir / "music.wav"),
              44u + static_cast<std::uintmax_t>(frames) * 48000 / 2 * 4);
}

// A whole capture and a clip of its last 1.5 s, each a run of its own from the start: the clip
// holds the whole capture's frames and sound of that span, and each soundtrack is exactly as
// long as its frames.
TEST(Capture, AClipHoldsTheFramesAndSoundOfTheSameSpanOfAWholeCapture) {
    const fs::path dir = freshFolder("capture_clip");
    const ProcessResult whole =
        capture({"--capture", (dir / "whole/").string(), "--fps", "20", "--duration", "5"});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_NE(whole.err.find("capture: frame 100 of 100"), std::string::npos) << whole.err;
    const ProcessResult clip = capture(
        {"--capture", (dir / "clip/").string(), "--fps", "20", "--from", "3.5", "--to", "5"});
    ASSERT_EQ(clip.exitCode, 0) << clip.err;
    // Its progress counts the clip's frames, not the show's up to them.
    EXPECT_NE(clip.err.find("capture: frame 30 of 30"), std::string::npos) << clip.err;
    EXPECT_EQ(clip.err.find(" of 100,"), std::string::npos) << clip.err;

    EXPECT_EQ(countFrames(dir / "whole"), 100);
    ASSERT_EQ(countFrames(dir / "clip"), 30);
    const RgbImage first = readPicture(framePath(dir / "whole", 0));
    EXPECT_TRUE(first.width == 640 && first.height == 480);
    for (long n = 0; n < 30; ++n) {
        const RgbImage a = readPicture(framePath(dir / "clip", n));
        ASSERT_FALSE(a.pixels.empty()) << "frame " << n;
        EXPECT_EQ(a.pixels, readPicture(framePath(dir / "whole", n + 70)).pixels) << "frame " << n;
    }
    // 16-bit stereo at 48 kHz after a 44-byte header: 4 bytes a sample frame, 2400 a video frame.
    const std::string wholeWav = fileContents(dir / "whole" / "music.wav");
    const std::string clipWav = fileContents(dir / "clip" / "music.wav");
    ASSERT_EQ(wholeWav.size(), 44u + 100 * 2400 * 4);
    ASSERT_EQ(clipWav.size(), 44u + 30 * 2400 * 4);
    EXPECT_TRUE(
        clipWav.compare(44, std::string::npos, wholeWav, 44 + 70 * 2400 * 4, 30 * 2400 * 4) == 0)
        << "the clip's sound is not the whole capture's sound of the same span";
}

TEST(Capture, ScaledFramesKeepEveryPixelSharp) {
    fs::path plain = freshFolder("capture_plain"), scaled = freshFolder("capture_scaled");
    ASSERT_EQ(capture({"--capture", plain.string() + "/", "--duration", "0.5"}).exitCode, 0);
    ASSERT_EQ(
        capture({"--capture", scaled.string() + "/", "--duration", "0.5", "--scale", "2"}).exitCode,
        0);
    const RgbImage a = readPicture(framePath(plain, 29)), b = readPicture(framePath(scaled, 29));
    ASSERT_EQ(a.width, 640);
    ASSERT_EQ(b.width, 1280);
    ASSERT_EQ(b.height, 960);
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
    const fs::path out = freshFolder("capture_sync");
    xm::Module module = testModule(64);
    noteAt(module, 10, 0, 3);
    const std::string data = showDataWithModule(module, "capture_sync");

    auto result = capture({"--capture", out.string() + "/", "--duration", "6", "--fps", "30",
                           "--trace", "--data", data});
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
    const fs::path folder = freshFolder("capture_bad");
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
    const fs::path folder = freshFolder("capture_video");
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
