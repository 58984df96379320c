// Steering the show while it runs (pause, full screen, screenshots, jumps), on the real program.
#include "tests/process_support.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A 60th of a second: the steps of a jump and the frames of a 60 fps capture.
const std::string sixtieth = "16.6666667";
constexpr int loadingFrames = 49; // one per file; the last one starts the music

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

// The picture a whole 60 fps capture holds at `showSeconds` after the music started: by
// snapshots, which play every frame up to it as the whole capture does, or (faster) by a clip of
// that one frame, which reaches it by a jump.
enum class Reach { EveryFrame, Jump };
RgbImage capturedAt(double showSeconds, const std::string& name, Reach reach) {
    const fs::path dir = freshFolder(name);
    const long frame = loadingFrames - 1 + std::lround(showSeconds * 60);
    const std::string from = std::to_string(frame / 60.0), to = std::to_string((frame + 1) / 60.0);
    const ProcessResult r =
        reach == Reach::EveryFrame
            ? runProgram({"--snapshots", std::to_string(frame), "--snapshot-dir", dir.string()},
                         dir)
            : runProgram({"--capture", (dir / "clip/").string(), "--from", from, "--to", to}, dir);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    char file[32];
    std::snprintf(file, sizeof file, "frame_%06ld.png", frame);
    return readPicture(reach == Reach::EveryFrame ? dir / file : framePath(dir / "clip", 0));
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
    ChildProcess child =
        startShow(display, {"--window", "--music"}, TUVERO_DATA_DIR, {"SDL_AUDIODRIVER=dummy"});
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
    const fs::path dir = freshFolder("keys");
    ChildProcess child = startShow(display, {"--window", "--silent", "--step", "50"}, dir);
    std::string out;
    const bool cued = readOutputUntil(child, out, "sync 0", 180);
    display.pressKey(child.pid, "space");
    readOutputUntil(child, out, "pause tick", 30);
    const auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(700)); };

    display.pressKey(child.pid, "F12");
    const bool shotWritten = readOutputUntil(child, out, "tuvero-0001.png", 30);
    settle();
    display.shell("import -window root " + (dir / "root.png").string() + " 2>/dev/null");
    const auto window = display.pictureOnScreen((dir / "window.png").string());

    display.pressKey(child.pid, "F11");
    settle();
    const auto full = display.pictureOnScreen((dir / "full.png").string());
    display.pressKey(child.pid, "alt+Return");
    settle();
    const auto back = display.pictureOnScreen((dir / "back.png").string());
    display.pressKey(child.pid, "alt+Return");
    settle();
    const auto fullAgain = display.pictureOnScreen((dir / "full-again.png").string());
    display.pressKey(child.pid, "F12");
    const bool secondShot = readOutputUntil(child, out, "tuvero-0002.png", 30);
    display.pressKey(child.pid, "Escape");
    const ProcessResult result = waitProcess(child, 60);
    ASSERT_TRUE(cued) << out << result.err;

    const int pictureWidth = screenHeight * 4 / 3;
    for (const OwnDisplay::Box& box : {full, fullAgain}) {
        EXPECT_NEAR(box.width, pictureWidth, 2);
        EXPECT_NEAR(box.height, screenHeight, 2);
        EXPECT_NEAR(box.x, (screenWidth - pictureWidth) / 2, 2);
        EXPECT_NEAR(box.y, 0, 2);
    }
    for (const OwnDisplay::Box& box : {window, back}) {
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
    EXPECT_GT(psnr(readPicture(dir / "tuvero-0001.png"), readPicture(dir / "crop.png")), 60)
        << crop;
    EXPECT_TRUE(fs::exists(dir / "tuvero-0002.png"));
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

// Page Down from the cube grid (which waits for music cues) through timed scenes and two
// interludes: each press lands on the start of the next entry, where one uninterrupted run at
// 60 steps a second starts it, with the music at the same moment.
TEST(Playback, PageDownGoesToTheStartOfEachEntryWithTheMusicThere) {
    const fs::path dir = freshFolder("entries");
    constexpr int lastEntry = 5;
    // The uninterrupted run: one jump to the last entry, whose trace gives every start.
    const ProcessResult whole = runProgram(
        {"--window", "--silent", "--hidden", "--step", sixtieth, "--start-at-entry",
         std::to_string(lastEntry), "--trace", "--frames", std::to_string(loadingFrames + 1)},
        dir);
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    std::vector<long> startTime(lastEntry + 1, -1);
    for (const SceneStart& s : sceneStarts(whole.out))
        if (s.scene >= 1 && s.scene <= lastEntry) startTime[s.scene] = s.time;
    std::vector<double> entryStart(lastEntry + 1, -1); // seconds after the music started
    for (int entry = 1; entry <= lastEntry; ++entry)
        entryStart[entry] = (startTime[entry] - startTime[1]) / 1000.0 + 1 / 60.0;

    OwnDisplay display;
    ASSERT_TRUE(display.started()) << "no X server of the test's own";
    ChildProcess child = startShow(display, {"--window", "--silent", "--step", sixtieth}, dir);
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
        // by up to a frame. A start that follows a jump may come up to two frames early: the
        // cue that ends a jump lands on the frame of its note, and an interlude turning at its
        // far end does so on a frame boundary of its own.
        const double lateBy = a.showSeconds - entryStart[a.entry];
        EXPECT_GE(lateBy, -2 / 60.0 - 0.01) << "entry " << a.entry;
        EXPECT_LE(lateBy, (i + 1) / 60.0 + 0.02) << "entry " << a.entry;
        // Lock-step mixing runs up to the end of the frame: one step ahead at most.
        EXPECT_NEAR(a.musicSeconds, a.showSeconds, 0.02) << "entry " << a.entry;
    }
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

// A second after a jump, by entry into the interlude or by time into the hall, the picture is
// the one a capture holds at that moment: the live faces of other scenes and the trail have
// settled.
TEST(Playback, PictureASecondAfterAJumpMatchesTheCapture) {
    const std::vector<std::vector<std::string>> jumps = {{"--start-at-entry", "4"},
                                                         {"--start-at", "75"}};
    for (const auto& jump : jumps) {
        const fs::path dir = freshFolder("jump-picture");
        std::vector<std::string> options = {"--window",
                                            "--silent",
                                            "--hidden",
                                            "--step",
                                            sixtieth,
                                            "--frames",
                                            std::to_string(loadingFrames + 61),
                                            "--screenshot",
                                            (dir / "after.png").string()};
        options.insert(options.end(), jump.begin(), jump.end());
        const ProcessResult live = runProgram(options, dir);
        ASSERT_EQ(live.exitCode, 0) << live.err;
        EXPECT_FALSE(fs::exists(dir / "after.png.part")) << "the screenshot is written whole";
        const std::vector<Arrival> landed = arrivals(live.out);
        ASSERT_EQ(landed.size(), 1u) << live.out;
        const RgbImage captured =
            capturedAt(landed[0].showSeconds + 1, "jump-reference", Reach::EveryFrame);
        EXPECT_GE(psnr(readPicture(dir / "after.png"), captured), 35) << jump[0];
    }
}

// A clip that starts in an interlude, reached by a jump, holds the very picture of a run that
// drew every frame from the start: the trail (70 % of each frame carried into the next, over a
// still backdrop where a pixel one step off would stay so) and the live faces are the same.
TEST(Playback, AClipStartingInAnInterludeIsTheWholeRunsPictureToTheByte) {
    // Late in interlude 1, 150 frames after its trail began; in interlude 2, whose trail starts
    // from interlude 1's last picture.
    for (double showSeconds : {37.0, 68.5}) {
        const RgbImage whole = capturedAt(showSeconds, "interlude-whole", Reach::EveryFrame);
        const RgbImage clip = capturedAt(showSeconds, "interlude-clip", Reach::Jump);
        ASSERT_FALSE(whole.pixels.empty());
        EXPECT_TRUE(clip.pixels == whole.pixels)
            << "at " << showSeconds << " s: " << psnr(clip, whole) << " dB";
    }
}

// The keys that jump, on the real clock: Page Down on the last entry does nothing; Page Up goes
// to the start of the entry before (this one after its first 2 s); full stop and comma 5 s
// forward and back; Home to the first frame of the first scene.
TEST(Playback, JumpKeysGoBackAndForwardAndPageDownStopsAtTheLastEntry) {
    OwnDisplay display;
    ASSERT_TRUE(display.started()) << "no X server of the test's own";
    ChildProcess child =
        startShow(display, {"--window", "--silent", "--start-at-entry", "12"}, TUVERO_DATA_DIR);
    std::string out;
    bool ok = readOutputUntil(child, out, "(entry 12,", 120);
    const auto press = [&](const char* key) {
        display.pressKey(child.pid, key);
        std::string more;
        ok = ok && readOutputUntil(child, more, "the jump took", 60);
        out += more;
    };
    display.pressKey(child.pid, "Next");
    std::string afterLast;
    const bool jumpedFromLast = readOutputUntil(child, afterLast, "the jump took", 0.5);
    out += afterLast;
    press("Prior");
    press("Home");
    press("period");
    press("comma");
    display.pressKey(child.pid, "Escape");
    const ProcessResult result = waitProcess(child, 60);
    ASSERT_TRUE(ok) << out << result.out << result.err;
    EXPECT_FALSE(jumpedFromLast) << "Page Down on the last entry jumps nowhere\n" << out;
    const std::vector<Arrival> landed = arrivals(out);
    ASSERT_EQ(landed.size(), 5u) << out;
    EXPECT_EQ(landed[1].entry, 11) << "Page Up within the first 2 s: the entry before";
    EXPECT_EQ(landed[2].entry, 1);
    EXPECT_NEAR(landed[2].showSeconds, 1 / 60.0, 0.002) << "Home: the first frame";
    EXPECT_GE(landed[3].showSeconds, landed[2].showSeconds + 5);
    EXPECT_LE(landed[3].showSeconds, landed[2].showSeconds + 8);
    EXPECT_GE(landed[4].showSeconds, landed[3].showSeconds - 5);
    EXPECT_LE(landed[4].showSeconds, landed[3].showSeconds - 2);
    for (const Arrival& a : landed)
        EXPECT_NEAR(a.musicSeconds, a.showSeconds, 0.02) << "the music goes on from there";
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

// A jump while paused stays paused: the music waits at the new moment, the held picture becomes
// that moment's, and the title says where the show now stands until it resumes.
TEST(Playback, AJumpWhilePausedStaysPausedOnTheNewMomentsPicture) {
    OwnDisplay display;
    ASSERT_TRUE(display.started()) << "no X server of the test's own";
    const fs::path dir = freshFolder("paused-jump");
    ChildProcess child =
        startShow(display, {"--window", "--music", "--trace", "--start-at-entry", "3"}, dir,
                  {"SDL_AUDIODRIVER=dummy"});
    std::string out;
    bool ok = readOutputUntil(child, out, "(entry 3,", 120);
    display.pressKey(child.pid, "space");
    ok = ok && readOutputUntil(child, out, "pause tick", 30);
    display.pressKey(child.pid, "Next");
    ok = ok && readOutputUntil(child, out, "(entry 4,", 60);
    // A while later: still paused, the title and the picture are the new moment's.
    std::string later;
    const bool resumedByItself = readOutputUntil(child, later, "resume tick", 1.5);
    out += later;
    const std::string title = display.shell(
        "xwininfo -root -tree 2>/dev/null | grep -o '\"Tuvero - [^\"]*\"' | head -n 1");
    display.pressKey(child.pid, "F12");
    ok = ok && readOutputUntil(child, out, "tuvero-0001.png", 30);
    display.pressKey(child.pid, "space");
    ok = ok && readOutputUntil(child, out, "resume tick", 30);
    display.pressKey(child.pid, "Escape");
    const ProcessResult result = waitProcess(child, 60);
    ASSERT_TRUE(ok) << out << result.out << result.err;
    EXPECT_FALSE(resumedByItself) << out;
    const std::vector<Arrival> landed = arrivals(out);
    ASSERT_EQ(landed.size(), 2u) << out;
    const Arrival& jump = landed[1];
    EXPECT_EQ(jump.entry, 4);
    EXPECT_NE(title.find("interlude"), std::string::npos) << title;
    char shown[32];
    const int minutes = static_cast<int>(jump.showSeconds / 60);
    std::snprintf(shown, sizeof shown, "%d:%04.1f", minutes, jump.showSeconds - minutes * 60);
    EXPECT_NE(title.find(shown), std::string::npos) << title << " at " << jump.showSeconds;

    // The music stood at the jump's moment until the show resumed.
    EXPECT_NEAR(jump.musicSeconds, jump.showSeconds, 0.02) << out;
    unsigned resumeTick = 0;
    double resumeMusic = -1;
    std::sscanf(lineValue(out, "resume").c_str(), "resume tick %u music %lf", &resumeTick,
                &resumeMusic);
    EXPECT_NEAR(resumeMusic, jump.musicSeconds, 0.02) << out;

    const RgbImage captured = capturedAt(jump.showSeconds, "paused-jump-reference", Reach::Jump);
    EXPECT_GE(psnr(readPicture(dir / "tuvero-0001.png"), captured), 35);
    EXPECT_EQ(result.exitCode, 0) << result.err;
}
