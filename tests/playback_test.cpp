// Steering the show while it runs (pause, full screen, screenshots, jumps) and clips of a
// capture, on the real program.
#include "tests/process_support.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <png.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A 60th of a second: the steps of a jump and the frames of a 60 fps capture.
const std::string sixtieth = "16.6666667";
constexpr int loadingFrames = 49; // one per file; the last one starts the music

struct Picture {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

Picture readPng(const fs::path& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
        picture.width = image.width;
        picture.height = image.height;
    } else {
        picture.rgb.clear();
    }
    png_image_free(&image);
    return picture;
}

double psnr(const Picture& a, const Picture& b) {
    if (a.rgb.empty() || a.rgb.size() != b.rgb.size()) return 0;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        const double d = double(a.rgb[i]) - double(b.rgb[i]);
        sum += d * d;
    }
    if (sum == 0) return 1000;
    return 10 * std::log10(255.0 * 255.0 / (sum / a.rgb.size()));
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path freshDirectory(const std::string& name) {
    const fs::path dir =
        fs::path(::testing::TempDir()) / ("tuvero-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

ProcessResult runShow(const std::vector<std::string>& options, const fs::path& workDir,
                      double timeout = 280) {
    std::vector<std::string> args = {TUVERO_BINARY, "--data", TUVERO_DATA_DIR};
    args.insert(args.end(), options.begin(), options.end());
    return runProcess(args, workDir.string(), timeout, {"SDL_AUDIODRIVER=dummy"});
}

// The line a jump prints when it arrives: show time, entry, music position.
struct Arrival {
    double showSeconds = -1;
    int entry = -1;
    double musicSeconds = -1;
};
std::vector<Arrival> arrivals(const std::string& out) {
    std::vector<Arrival> found;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        Arrival a;
        if (std::sscanf(line.c_str(), "at %lf s of the show (entry %d, music at %lf s)",
                        &a.showSeconds, &a.entry, &a.musicSeconds) == 3)
            found.push_back(a);
    }
    return found;
}

// The picture a whole 60 fps capture holds at `showSeconds` after the music started, through a
// clip of that one frame.
Picture capturedAt(double showSeconds, const std::string& name) {
    const fs::path dir = freshDirectory(name);
    const long frame = loadingFrames - 1 + std::lround(showSeconds * 60);
    char from[32], to[32];
    std::snprintf(from, sizeof from, "%.6f", frame / 60.0);
    std::snprintf(to, sizeof to, "%.6f", (frame + 1) / 60.0);
    const ProcessResult r =
        runShow({"--capture", (dir / "clip/").string(), "--from", from, "--to", to}, dir);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    Picture picture = readPng(dir / "clip" / "frame_000000.png");
    fs::remove_all(dir);
    return picture;
}

struct Box {
    int width = 0, height = 0, x = -1, y = -1;
};
Box pictureOnScreen(const OwnDisplay& display, const fs::path& shot) {
    display.shell("import -window root " + shot.string() + " 2>/dev/null");
    const std::string geometry = shellOutput(
        "convert " + shot.string() + " -fuzz 2% -trim -format '%w %h %X %Y' info: 2>/dev/null");
    Box box;
    std::sscanf(geometry.c_str(), "%d %d %d %d", &box.width, &box.height, &box.x, &box.y);
    return box;
}

std::string lineValue(const std::string& out, const std::string& prefix) {
    const size_t at = out.rfind("\n" + prefix);
    if (at == std::string::npos) return "";
    return out.substr(at + 1, out.find('\n', at + 1) - at - 1);
}

} // namespace

// Pausing on the real clock with music on an audio device (SDL's dummy driver): the tick
// counter and the music stand still for the whole pause and go on from there.
TEST(Playback, PauseHoldsTheTickCounterAndTheMusic) {
    OwnDisplay display;
    ASSERT_TRUE(display.started()) << "no X server of the test's own";
    std::vector<std::string> environment = display.environment();
    environment.push_back("SDL_AUDIODRIVER=dummy");
    ChildProcess child =
        startProcess({TUVERO_BINARY, "--window", "--music", "--trace", "--data", TUVERO_DATA_DIR},
                     TUVERO_DATA_DIR, environment);
    std::string out;
    const bool playing = readOutputUntil(child, out, "scene 1 ", 120);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    display.pressKey(child.pid, "space");
    const bool paused = readOutputUntil(child, out, "pause tick", 30);
    // No sync arrives while paused.
    std::string during = paused ? out.substr(out.find("pause tick")) : "";
    const bool syncWhilePaused = readOutputUntil(child, during, "\nsync", 1.5);
    display.pressKey(child.pid, "space");
    const bool resumed = readOutputUntil(child, out, "resume tick", 30);
    display.pressKey(child.pid, "Escape");
    const ProcessResult result = waitProcess(child, 60);
    ASSERT_TRUE(playing && paused && resumed) << out << result.out << result.err;
    EXPECT_FALSE(syncWhilePaused) << during;

    unsigned pauseTick = 0, resumeTick = 0;
    double pauseMusic = -1, resumeMusic = -2;
    std::sscanf(lineValue(out, "pause").c_str(), "pause tick %u music %lf", &pauseTick,
                &pauseMusic);
    std::sscanf(lineValue(out, "resume").c_str(), "resume tick %u music %lf", &resumeTick,
                &resumeMusic);
    EXPECT_LE(resumeTick - pauseTick, 5u) << "the tick counter moved on while paused\n" << out;
    EXPECT_GT(pauseMusic, 0.3) << "the music played before the pause";
    EXPECT_DOUBLE_EQ(resumeMusic, pauseMusic) << out;
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

// F11 and Alt+Enter switch while the picture is held; F12 writes what is on the screen.
TEST(Playback, FullScreenSwitchesBothWaysAndScreenshotsShowTheScreen) {
    constexpr int screenWidth = 1280, screenHeight = 720;
    OwnDisplay display(std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "x24");
    ASSERT_TRUE(display.started()) << "no X server of the test's own";
    const fs::path dir = freshDirectory("keys");
    ChildProcess child = startProcess({TUVERO_BINARY, "--window", "--silent", "--step", "50",
                                       "--trace", "--data", TUVERO_DATA_DIR},
                                      dir.string(), display.environment());
    std::string out;
    const bool cued = readOutputUntil(child, out, "sync 0", 180);
    display.pressKey(child.pid, "space");
    readOutputUntil(child, out, "pause tick", 30);
    const auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(700)); };

    display.pressKey(child.pid, "F12");
    const bool shotWritten = readOutputUntil(child, out, "tuvero-0001.png", 30);
    settle();
    display.shell("import -window root " + (dir / "root.png").string() + " 2>/dev/null");
    const Box window = pictureOnScreen(display, dir / "window.png");

    display.pressKey(child.pid, "F11");
    settle();
    const Box full = pictureOnScreen(display, dir / "full.png");
    display.pressKey(child.pid, "alt+Return");
    settle();
    const Box back = pictureOnScreen(display, dir / "back.png");
    display.pressKey(child.pid, "alt+Return");
    settle();
    const Box fullAgain = pictureOnScreen(display, dir / "full-again.png");
    display.pressKey(child.pid, "F12");
    const bool secondShot = readOutputUntil(child, out, "tuvero-0002.png", 30);
    display.pressKey(child.pid, "Escape");
    const ProcessResult result = waitProcess(child, 60);
    ASSERT_TRUE(cued) << out << result.err;

    const int pictureWidth = screenHeight * 4 / 3;
    for (const Box& box : {full, fullAgain}) {
        EXPECT_NEAR(box.width, pictureWidth, 2);
        EXPECT_NEAR(box.height, screenHeight, 2);
        EXPECT_NEAR(box.x, (screenWidth - pictureWidth) / 2, 2);
        EXPECT_NEAR(box.y, 0, 2);
    }
    for (const Box& box : {window, back}) {
        EXPECT_NEAR(box.width, 640, 2);
        EXPECT_NEAR(box.height, 480, 2);
        EXPECT_NEAR(box.x, (screenWidth - 640) / 2, 2);
        EXPECT_NEAR(box.y, (screenHeight - 480) / 2, 2);
    }

    // The window shows the picture pixel for pixel: the screenshot is that part of the screen.
    ASSERT_TRUE(shotWritten) << out;
    EXPECT_TRUE(secondShot) << out;
    const std::string crop = shellOutput(
        "convert " + (dir / "root.png").string() + " -crop 640x480+" + std::to_string(window.x) +
        "+" + std::to_string(window.y) + " +repage " + (dir / "crop.png").string() + " 2>&1");
    EXPECT_GT(psnr(readPng(dir / "tuvero-0001.png"), readPng(dir / "crop.png")), 60) << crop;
    EXPECT_TRUE(fs::exists(dir / "tuvero-0002.png"));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    fs::remove_all(dir);
}

// Page Down from the cube grid (which waits for music cues) through timed scenes and two
// interludes: each press lands on the start of the next entry, where one uninterrupted run at
// 60 steps a second starts it, with the music at the same moment.
TEST(Playback, PageDownGoesToTheStartOfEachEntryWithTheMusicThere) {
    const fs::path dir = freshDirectory("entries");
    constexpr int lastEntry = 5;
    // The uninterrupted run: one jump to the last entry, whose trace gives every start.
    const ProcessResult whole = runShow({"--window", "--silent", "--hidden", "--step", sixtieth,
                                         "--start-at-entry", std::to_string(lastEntry), "--trace",
                                         "--frames", std::to_string(loadingFrames + 1)},
                                        dir);
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    std::vector<double> entryStart(lastEntry + 1, -1); // seconds after the music started
    {
        std::istringstream lines(whole.out);
        std::string line;
        int scene = 0;
        long frame = 0, time = 0;
        long scene1Time = -1;
        while (std::getline(lines, line))
            if (std::sscanf(line.c_str(), "scene %d frame %ld time %ld", &scene, &frame, &time) ==
                    3 &&
                scene >= 1 && scene <= lastEntry) {
                if (scene == 1) scene1Time = time;
                entryStart[scene] = (time - scene1Time) / 1000.0 + 1 / 60.0;
            }
    }

    OwnDisplay display;
    ASSERT_TRUE(display.started()) << "no X server of the test's own";
    ChildProcess child = startProcess({TUVERO_BINARY, "--window", "--silent", "--step", sixtieth,
                                       "--trace", "--data", TUVERO_DATA_DIR},
                                      dir.string(), display.environment());
    std::string out;
    bool ok = readOutputUntil(child, out, "scene 1 ", 120);
    for (int entry = 2; ok && entry <= lastEntry; ++entry) {
        display.pressKey(child.pid, "Next");
        ok = readOutputUntil(child, out, "(entry " + std::to_string(entry) + ",", 120);
    }
    display.pressKey(child.pid, "Escape");
    const ProcessResult result = waitProcess(child, 60);
    ASSERT_TRUE(ok) << out << result.out << result.err;
    const std::vector<Arrival> landed = arrivals(out);
    ASSERT_EQ(landed.size(), size_t(lastEntry - 1)) << out;
    for (size_t i = 0; i < landed.size(); ++i) {
        const Arrival& a = landed[i];
        EXPECT_EQ(a.entry, static_cast<int>(i) + 2);
        if (a.entry < 1 || a.entry > lastEntry) continue;
        // The frames run live between the presses take each sync on the first frame after its
        // note, not on the frame that contains it: every live stretch may delay later starts
        // by up to a frame.
        const double lateBy = a.showSeconds - entryStart[a.entry];
        EXPECT_GE(lateBy, -0.02) << "entry " << a.entry;
        EXPECT_LE(lateBy, (i + 1) / 60.0 + 0.02) << "entry " << a.entry;
        // Lock-step mixing runs up to the end of the frame: one step ahead at most.
        EXPECT_NEAR(a.musicSeconds, a.showSeconds, 0.02) << "entry " << a.entry;
    }
    EXPECT_EQ(result.exitCode, 0) << result.err;
    fs::remove_all(dir);
}

// A second after a jump into the interlude, the picture is the one a capture holds at that
// moment: the live faces of other scenes and the trail have settled.
TEST(Playback, PictureASecondAfterAJumpMatchesTheCapture) {
    const fs::path dir = freshDirectory("jump-picture");
    const ProcessResult live =
        runShow({"--window", "--silent", "--hidden", "--step", sixtieth, "--frames",
                 std::to_string(loadingFrames + 61), "--screenshot", (dir / "after.png").string(),
                 "--start-at-entry", "4"},
                dir);
    ASSERT_EQ(live.exitCode, 0) << live.err;
    const std::vector<Arrival> landed = arrivals(live.out);
    ASSERT_EQ(landed.size(), 1u) << live.out;
    const Picture captured = capturedAt(landed[0].showSeconds + 1, "jump-reference");
    EXPECT_GE(psnr(readPng(dir / "after.png"), captured), 35);
    fs::remove_all(dir);
}

// A clip is the same span of a whole capture: the same frames and the same sound.
TEST(Playback, ClipHoldsTheFramesAndSoundOfTheSameSpanOfAWholeCapture) {
    const fs::path dir = freshDirectory("clip");
    const ProcessResult whole =
        runShow({"--capture", (dir / "whole/").string(), "--fps", "20", "--duration", "5"}, dir);
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const ProcessResult clip = runShow(
        {"--capture", (dir / "clip/").string(), "--fps", "20", "--from", "3.5", "--to", "5"}, dir);
    ASSERT_EQ(clip.exitCode, 0) << clip.err;

    int frames = 0;
    for (const auto& entry : fs::directory_iterator(dir / "clip"))
        frames += entry.path().extension() == ".png";
    EXPECT_EQ(frames, 30);
    for (int n = 0; n < frames; ++n) {
        char clipName[32], wholeName[32];
        std::snprintf(clipName, sizeof clipName, "frame_%06d.png", n);
        std::snprintf(wholeName, sizeof wholeName, "frame_%06d.png", n + 70);
        const Picture a = readPng(dir / "clip" / clipName);
        ASSERT_FALSE(a.rgb.empty()) << clipName;
        EXPECT_EQ(a.rgb, readPng(dir / "whole" / wholeName).rgb) << "frame " << n;
    }
    // 16-bit stereo after a 44-byte header: 4 bytes a sample frame, 2400 frames a video frame.
    const std::string wholeWav = readFile(dir / "whole" / "music.wav");
    const std::string clipWav = readFile(dir / "clip" / "music.wav");
    ASSERT_EQ(clipWav.size(), 44u + 30 * 2400 * 4);
    ASSERT_GE(wholeWav.size(), 44u + 100 * 2400 * 4);
    EXPECT_TRUE(
        clipWav.compare(44, std::string::npos, wholeWav, 44 + 70 * 2400 * 4, 30 * 2400 * 4) == 0)
        << "the clip's sound is not the whole capture's sound of the same span";
    fs::remove_all(dir);
}
