// The scene table, the main loop's ways out and the command line, on the real program.
#include "app/app_state.h"
#include "app/loading_screen.h"
#include "app/scene_table.h"
#include "assets/texture.h"
#include "platform/platform.h"
#include "scenes/scenes.h"
#include "startup/options.h"
#include "tests/gl_test_support.h"
#include "tests/process_support.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

std::vector<int> syncsSeen;
void recordSync(int value) { syncsSeen.push_back(value); }

// The X window id of a top-level window with this exact title on `display`, waiting up to
// `seconds`. Reads the window tree, since SDL names its windows with UTF-8 properties only.
std::string findWindow(const OwnDisplay& display, const std::string& title, double seconds,
                       const std::string& except = "") {
    for (int i = 0; i < seconds * 20; ++i) {
        std::string id = display.shell("xwininfo -root -tree 2>/dev/null | awk '/\"" + title +
                                       "\":/{print $1}' | grep -v '^" + except + "$' | head -n 1");
        if (!id.empty()) return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

// Processes whose parent is `parent`, from /proc.
std::vector<pid_t> childProcesses(pid_t parent) {
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // "pid (command) state ppid ...": the command may hold spaces, so read after the ')'.
        const size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        char state = 0;
        pid_t ppid = 0;
        if (rest >> state >> ppid && ppid == parent) children.push_back(std::stoi(name));
    }
    return children;
}

bool allEnded(const std::vector<pid_t>& processes, double seconds) {
    for (int i = 0; i < seconds * 100; ++i) {
        bool running = false;
        for (pid_t p : processes)
            running = running || kill(p, 0) == 0;
        if (!running) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

// Advancing past the last entry ends the show instead of starting a scene; syncs reach only the
// current entry, never an empty slot or no entry.
TEST(SceneTable, GoingPastTheLastEntryEndsTheShowAndSyncsReachOnlyTheCurrentEntry) {
    resetSceneTable();
    currentScene = 11;
    advanceScene();
    EXPECT_EQ(currentScene, 12);
    EXPECT_FALSE(quitRequested());
    advanceScene();
    EXPECT_EQ(currentScene, 13);
    EXPECT_TRUE(quitRequested());

    resetSceneTable();
    syncsSeen.clear();
    sceneTable[3].onMusicSync = recordSync;
    currentScene = 3;
    dispatchMusicSync(1);
    dispatchMusicSync(0);
    currentScene = 2; // empty slot
    dispatchMusicSync(1);
    currentScene = 13; // past the last entry
    dispatchMusicSync(1);
    EXPECT_EQ(syncsSeen, (std::vector<int>{1, 0}));
}

TEST(CommandLine, ReadsGoodOptionsAndRejectsUnknownOrBadOnesBeforeAnythingRuns) {
    ShowOptions options;
    ASSERT_EQ(parseWords({"--window", "--silent", "--step", "16", "--frames", "5", "--trace",
                          "--data", "/tmp", "--screenshot", "a.png", "--no-vsync"},
                         options),
              0);
    // The options every test run of the program uses are checked by those runs.
    EXPECT_EQ(options.stepMs, 16u);
    EXPECT_FALSE(options.vsync);

    ShowOptions snapshots;
    ASSERT_EQ(parseWords({"--snapshots", "30,10,30", "--snapshot-dir", "d"}, snapshots), 0);
    ASSERT_TRUE(snapshots.snapshots);
    EXPECT_EQ(snapshots.snapshots->frames, (std::vector<long>{10, 30})) << "sorted, each once";
    EXPECT_EQ(snapshots.snapshots->folder, "d");
    ShowOptions report;
    ASSERT_EQ(
        parseWords({"--from", "3", "--flash-report", "r.csv", "--to", "5", "--gentle"}, report), 0);
    ASSERT_TRUE(report.flashReport);
    EXPECT_EQ(report.flashReport->csvPath, "r.csv");
    EXPECT_EQ(report.flashReport->fromSeconds, 3) << "the clip options may come first";
    EXPECT_EQ(report.flashReport->toSeconds, 5);
    EXPECT_TRUE(report.gentle);
    for (const std::vector<std::string>& good : std::vector<std::vector<std::string>>{
             {"--capture", "c/", "--from", "3", "--to", "5"}, {"--start-at", "30"}}) {
        ShowOptions ignored;
        EXPECT_EQ(parseWords(good, ignored), 0) << good[0];
    }
    // --option=value is --option value.
    ShowOptions joined;
    ASSERT_EQ(parseWords({"--data=/tmp/a=b", "--frames=5", "--cue-instruments=2,4"}, joined), 0);
    EXPECT_EQ(joined.dataDir, "/tmp/a=b");
    EXPECT_EQ(joined.frames, 5);
    EXPECT_EQ(joined.cueOnceInstrument, 2);

    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--step"},
        {"--step", "0"},
        {"--step", "12x"},
        {"--frames", "-3"},
        {"--snapshots", "1,,2", "--snapshot-dir", "d"},
        {"--snapshots", "3,", "--snapshot-dir", "d"},
        {"--snapshots", "-1", "--snapshot-dir", "d"},
        {"--snapshots", "5"}, // no folder
        {"--snapshots", "5", "--snapshot-dir", "d", "--benchmark"},
        {"--from", "3"}, // a clip needs a capture or a flash report
        {"--flash-report", "r.csv", "--capture", "c/"},
        {"--flash-report", "r.csv", "--start-at", "30"},
        {"--flash-report"},
        {"--capture", "c/", "--from", "5", "--to", "5"},
        {"--capture", "c/", "--to", "5", "--duration", "4"},
        {"--start-at", "30", "--capture", "c/"},
        {"--start-at-entry", "0"},
        {"--start-at-entry", "13"},
        {"--start-at-entry", "4", "--start-at", "3"},
        {"--render-size", "1920x1080"}, // not 4:3
        {"--render-size", "0x0"},
        {"--render-size", "1280x960", "--classic"},
        {"--render-size", "1280x960", "--capture", "c/", "--scale", "2"},
        {"--msaa", "3"},
        {"--msaa", "-4"},
        {"--window=yes"}, // takes no value
        {"--frames="},
    };
    for (const auto& words : bad) {
        ShowOptions ignored;
        std::string all;
        for (const auto& w : words)
            all += w + " ";
        EXPECT_EQ(parseWords(words, ignored), 2) << all;
    }
}

TEST(MessageBoxes, Windows1252TextIsShownAsUtf8) {
    EXPECT_EQ(platform::cp1252ToUtf8("Fullscreenin\xE4?"), "Fullscreenin\xC3\xA4?");
    EXPECT_EQ(platform::cp1252ToUtf8("\x80 \x93x\x94"), "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D");
}

// Each way the user can end the show ends the main loop with exit code 0 and releases
// everything; any other key does not.
TEST(Shell, EveryWayOutEndsTheShowWithCodeZeroAndReleasesEverything) {
    using platform::UserEvent;
    for (UserEvent event : {UserEvent::CloseWindow, UserEvent::Minimise, UserEvent::PressEscape,
                            UserEvent::PressOtherKey}) {
        SCOPED_TRACE(static_cast<int>(event));
        ASSERT_TRUE(ensureGlContext());
        resetSceneTable();
        platform::postUserEvent(event);
        EXPECT_EQ(runShow(hiddenRun(20)), 0);
        EXPECT_FALSE(platform::windowOpen());
        EXPECT_EQ(loadingTexture, 0u) << "the loading screen's unload ran";
        EXPECT_EQ(frameNumber(), event == UserEvent::PressOtherKey ? 20 : 0);
    }
}

// The questions run the program on an X server of its own: see OwnDisplay. (Escape from the
// keyboard ending the show with code 0 is checked by every test that plays the show on one.)
// The two questions are real message boxes: Return answers Yes, Escape answers No. The keys
// are sent to each box's window (xdotool --window: nothing gives a box the focus, so xdotool
// sends the events to that window alone and no key is held on the server).
TEST(Program, QuestionsAreAnsweredInMessageBoxes) {
    OwnDisplay display;
    ASSERT_TRUE(display.started()) << "no X server of the test's own";
    // In sanitizer builds the program's own leak check is off here: after this full-screen run
    // it now and then reports what the system libraries keep for the life of the process from
    // libraries already unloaded at exit ("unknown module"), which no suppression can name.
    std::vector<std::string> environment = display.environment();
    environment.push_back("ASAN_OPTIONS=detect_leaks=0");
    ChildProcess child = startProcess({TUVERO_BINARY, "--step", "16", "--frames", "3", "--trace"},
                                      TUVERO_DATA_DIR, environment);
    std::string previous;
    for (const char* key : {"Return", "Escape"}) {
        std::string id = findWindow(display, "Options", 30, previous);
        if (id.empty()) {
            const auto ended = waitProcess(child, 0);
            FAIL() << "no question was shown for " << key << "\n" << ended.out << ended.err;
        }
        // SDL shows each box from a child process of its own, whose X connection may get the
        // ended one's number and so the same window id: the next box is told from the
        // answered one by waiting for the answered one's process to end, which destroys it.
        const std::vector<pid_t> shownBy = childProcesses(child.pid);
        display.shell("xdotool key --window " + id + " " + key + " 2>/dev/null");
        if (shownBy.empty()) {
            previous = id; // shown from the program's own process: the next id differs
        } else {
            ASSERT_TRUE(allEnded(shownBy, 30)) << "the answered question stayed";
            previous.clear();
        }
    }
    auto result = waitProcess(child, 60);
    EXPECT_EQ(result.exitCode, 0) << "signal " << result.signal << "\n" << result.err;
    EXPECT_NE(result.out.find("start fullscreen 1 music 0"), std::string::npos) << result.out;
    // A box that cannot be shown counts as No: the No above must be the answer given.
    EXPECT_EQ(result.err.find("cannot show the message box"), std::string::npos) << result.err;
    // The answer Yes opened the full-screen window, and the show ran its three frames there.
    EXPECT_EQ(countOf(result.out, "scene 0 frame 0 time 0\n"), 1) << result.out;
}

TEST(TickCounter, VirtualClockAtAFrameRateKeepsTheFractionSoNothingDrifts) {
    platform::useVirtualClockAtRate(1000, 60);
    std::vector<std::uint32_t> ticks;
    for (int n = 0; n < 4; ++n) {
        ticks.push_back(platform::tickCount());
        platform::advanceVirtualClock();
    }
    EXPECT_EQ(ticks, (std::vector<std::uint32_t>{1000, 1016, 1033, 1050}));
    for (int n = 4; n < 6000; ++n)
        platform::advanceVirtualClock();
    EXPECT_EQ(platform::tickCount(), 1000u + 100000u) << "6000 frames at 60 fps are 100 s";

    platform::useVirtualClock(500, 16);
    platform::advanceVirtualClock();
    platform::advanceVirtualClock();
    EXPECT_EQ(platform::tickCount(), 532u);
    platform::setVirtualTick(7);
    platform::advanceVirtualClock();
    EXPECT_EQ(platform::tickCount(), 23u);
}
