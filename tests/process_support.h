// Runs the real program as a child process (for exit codes, traces and X input tests), and
// reads what it leaves behind.
#pragma once

#include "tests/reference_images.h"

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

struct ProcessResult {
    int exitCode = -1; // -1 when killed by a signal or timed out
    bool timedOut = false;
    int signal = 0; // the signal that ended the child, when one did (SIGKILL after a time-out)
    std::string out;
    std::string err;
};

struct ChildProcess {
    pid_t pid = -1;
    int outFd = -1;
    int errFd = -1;
};

// Starts `args` (args[0] is the program) in `workDir`, with stdout and stderr captured.
// `environment` entries ("NAME=value") are set in the child on top of ours.
ChildProcess startProcess(const std::vector<std::string>& args, const std::string& workDir,
                          const std::vector<std::string>& environment = {});
// Waits up to `timeoutSeconds`, then kills the child. Collects its output.
ProcessResult waitProcess(ChildProcess& child, double timeoutSeconds);
ProcessResult runProcess(const std::vector<std::string>& args, const std::string& workDir,
                         double timeoutSeconds, const std::vector<std::string>& environment = {});
// Runs a shell command line and returns its stdout (trimmed), for xdotool and friends.
std::string shellOutput(const std::string& command);
// The show with `options`, reading the build's data folder, its sound on SDL's dummy driver.
ProcessResult runProgram(const std::vector<std::string>& options, const std::string& workDir,
                         double timeoutSeconds = 280);

// The show with --trace, the build's data folder and `options`, started in `workDir` on `display`
// with `environment` on top.
class OwnDisplay;
ChildProcess startShow(const OwnDisplay& display, const std::vector<std::string>& options,
                       const std::string& workDir = TUVERO_DATA_DIR,
                       std::vector<std::string> environment = {});

// An empty folder of that name in the test process's own scratch folder.
std::filesystem::path freshFolder(const std::string& name);
// A copy of the build's data folder in freshFolder(folder), without the file `left out`.
std::filesystem::path showDataWithout(const std::string& leftOut, const std::string& folder);
// A file's bytes; empty when it cannot be read.
std::string fileContents(const std::filesystem::path& path);
// A PNG as 8-bit RGB; empty when it cannot be read.
RgbImage readPicture(const std::filesystem::path& path);
// PSNR in dB of two pictures of the same size (infinite when equal), 0 when they cannot be
// compared.
double psnr(const RgbImage& a, const RgbImage& b);
// The name of frame n of a capture into a folder.
std::filesystem::path framePath(const std::filesystem::path& folder, long frame);

// How often `part` occurs in `text`.
int countOf(const std::string& text, const std::string& part);

// The "scene N frame F time T" lines of a trace, in order.
struct SceneStart {
    int scene = -1;
    long frame = 0, time = 0;
};
std::vector<SceneStart> sceneStarts(const std::string& trace);

// Appends what the child has written to stdout until `text` appears (true), the child closes
// its output or `timeoutSeconds` pass (false).
bool readOutputUntil(ChildProcess& child, std::string& out, const std::string& text,
                     double timeoutSeconds);

// An X server of the test's own (Xvfb, 1024 x 768 unless given, on a display number it picks
// itself), for tests that send keys or open full-screen windows. On the display the other tests
// share, a key event sent by XTEST reaches whichever window has the focus, a key whose release goes
// astray stays held for the rest of the run (and SDL reports a held key as pressed to every
// window that gains the focus later), and a full-screen window takes the focus from the
// others. Here nothing reaches another test and nothing outlives the test: the server stops
// when this object goes away.
class OwnDisplay {
  public:
    explicit OwnDisplay(const std::string& screen = "1024x768x24");
    ~OwnDisplay();
    OwnDisplay(const OwnDisplay&) = delete;
    OwnDisplay& operator=(const OwnDisplay&) = delete;

    bool started() const { return !name_.empty(); }
    const std::string& name() const { return name_; } // ":N"
    // For startProcess: the child's windows open on this server.
    std::vector<std::string> environment() const { return {"DISPLAY=" + name_}; }
    // shellOutput with every command of the line talking to this server.
    std::string shell(const std::string& command) const;
    // Gives the first window of process `pid` the focus and presses and releases `key` there
    // through the server's keyboard, so the key is not left held whatever the window does.
    // False when the process has no window.
    bool pressKey(pid_t pid, const std::string& key) const;

    // Where the picture is on the screen: the root window's part that is not black around it,
    // from a screenshot written to `shot`.
    struct Box {
        int width = 0, height = 0, x = -1, y = -1;
    };
    Box pictureOnScreen(const std::string& shot) const;

  private:
    pid_t server_ = -1;
    std::string name_;
};
