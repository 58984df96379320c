// A capture that fails after it has started, or is ended by SIGINT or SIGTERM, removes what it
// wrote, ends ffmpeg, and says why on a line of its own.
#include "tests/process_support.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// Running ffmpeg processes whose command line names `part` (the capture's temporary video).
int ffmpegWriting(const std::string& part) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        const std::string line{std::istreambuf_iterator<char>(in), {}};
        if (line.rfind("ffmpeg", 0) == 0 && line.find(part) != std::string::npos) ++count;
    }
    return count;
}

// The message starts a line: nothing of the progress line runs on before it.
void expectOnALineOfItsOwn(const std::string& err, const std::string& message) {
    const size_t at = err.find(message);
    ASSERT_NE(at, std::string::npos) << err;
    EXPECT_TRUE(at == 0 || err[at - 1] == '\n') << err;
}

bool ffmpegInstalled() { return !shellOutput("command -v ffmpeg").empty(); }

} // namespace

TEST(CaptureCleanup, AFailedLoadRemovesTheFramesAndTheTemporaryVideo) {
    const fs::path data = showDataWithout("friends.jpg", "cleanup_data");
    const fs::path folder = freshFolder("cleanup_frames");
    std::ofstream(folder / "mine.txt") << "not the capture's";
    auto result =
        runProcess({TUVERO_BINARY, "--capture", folder.string(), "--fps", "10"}, data, 120);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    expectOnALineOfItsOwn(result.err, "tuvero: cannot load picture friends.jpg");
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{"mine.txt"});

    // A folder the capture made itself goes too.
    const fs::path made = fs::path(::testing::TempDir()) / "cleanup_made";
    fs::remove_all(made);
    result = runProcess({TUVERO_BINARY, "--capture", (made / "a/b/").string()}, data, 120);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_FALSE(fs::exists(made));

    if (!ffmpegInstalled()) GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path videos = freshFolder("cleanup_video");
    result = runProcess({TUVERO_BINARY, "--capture", (videos / "c.mp4").string()}, data, 120);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    expectOnALineOfItsOwn(result.err, "tuvero: cannot load picture friends.jpg");
    EXPECT_TRUE(fs::is_empty(videos)) << filesIn(videos).front();
    EXPECT_EQ(ffmpegWriting((videos / "c.mp4.video.part.mkv").string()), 0);
}

// An ffmpeg that stops taking frames: the capture fails and removes what ffmpeg began.
TEST(CaptureCleanup, AnFfmpegThatDiesMidwayLeavesNothing) {
    const fs::path bin = freshFolder("cleanup_fake_ffmpeg");
    {
        std::ofstream script(bin / "ffmpeg");
        // Takes a few frames, writes a partial output (its last argument) and fails.
        script << "#!/bin/sh\nfor last; do :; done\nhead -c 3000000 > \"$last\"\nexit 1\n";
    }
    fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
    const fs::path videos = freshFolder("cleanup_dying");
    const std::string path = "PATH=" + bin.string() + ":/usr/bin:/bin";
    auto result = runProcess({TUVERO_BINARY, "--capture", (videos / "d.mkv").string()},
                             TUVERO_DATA_DIR, 120, {path});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    expectOnALineOfItsOwn(result.err, "tuvero: ffmpeg stopped taking frames");
    EXPECT_TRUE(fs::is_empty(videos)) << filesIn(videos).front();
}

// An ffmpeg that encodes the frames but fails to add the soundtrack (after writing a few bytes
// of the final file): the capture fails with code 1 and leaves nothing, not a broken video.
TEST(CaptureCleanup, AFailedMuxFailsTheRunAndLeavesNothing) {
    const fs::path bin = freshFolder("cleanup_mux_ffmpeg");
    {
        std::ofstream script(bin / "ffmpeg");
        // The mux copies the video stream ("-c:v copy"); the encode before it takes the frames.
        script
            << "#!/bin/sh\nfor last; do :; done\n"
               "case \" $* \" in *\" copy \"*) printf 'twelve bytes' > \"$last\"; exit 1;; esac\n"
               "cat > \"$last\"\n";
    }
    fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
    const fs::path videos = freshFolder("cleanup_mux");
    const std::string path = "PATH=" + bin.string() + ":/usr/bin:/bin";
    auto result = runProcess(
        {TUVERO_BINARY, "--capture", (videos / "m.mkv").string(), "--fps", "10", "--duration", "1"},
        TUVERO_DATA_DIR, 120, {path, "SDL_AUDIODRIVER=dummy"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    expectOnALineOfItsOwn(result.err, "tuvero: ffmpeg could not add the soundtrack to ");
    EXPECT_TRUE(fs::is_empty(videos)) << filesIn(videos).front();
}

// SIGINT and SIGTERM during a capture: everything written goes, ffmpeg ends, and the exit code
// is 128 + the signal's number.
TEST(CaptureCleanup, ASignalRemovesWhatTheCaptureWroteAndExitsWith128PlusItsNumber) {
    struct Case {
        int signal;
        std::string target;
    };
    const fs::path folder = freshFolder("cleanup_signal");
    std::vector<Case> cases = {{SIGINT, (folder / "frames").string() + "/"}};
    if (ffmpegInstalled()) cases.push_back({SIGTERM, (folder / "s.mkv").string()});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        ChildProcess child =
            startProcess({TUVERO_BINARY, "--capture", c.target, "--trace"}, TUVERO_DATA_DIR);
        std::string out;
        // Well into the show: frames have been written by then.
        ASSERT_TRUE(readOutputUntil(child, out, "scene 1 frame", 120)) << out;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        kill(child.pid, c.signal);
        auto result = waitProcess(child, 60);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 128 + c.signal) << result.err;
        expectOnALineOfItsOwn(result.err,
                              "tuvero: capture interrupted by signal " + std::to_string(c.signal));
        EXPECT_TRUE(fs::is_empty(folder)) << filesIn(folder).front();
        EXPECT_EQ(ffmpegWriting(c.target + ".video.part.mkv"), 0);
    }
}
