#include "tests/process_support.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

ChildProcess startProcess(const std::vector<std::string>& args, const std::string& workDir,
                          const std::vector<std::string>& environment) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(err[0]);
        if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(127);
        for (const auto& entry : environment)
            putenv(const_cast<char*>(entry.c_str()));
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    fcntl(err[0], F_SETFL, O_NONBLOCK);
    return {pid, out[0], err[0]};
}

namespace {
void drain(int fd, std::string& into) {
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        into.append(buffer, static_cast<size_t>(n));
    }
}
} // namespace

ProcessResult waitProcess(ChildProcess& child, double timeoutSeconds) {
    ProcessResult result;
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::milliseconds(static_cast<long>(timeoutSeconds * 1000));
    int status = 0;
    for (;;) {
        drain(child.outFd, result.out);
        drain(child.errFd, result.err);
        pid_t done = waitpid(child.pid, &status, WNOHANG);
        if (done == child.pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, &status, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    drain(child.outFd, result.out);
    drain(child.errFd, result.err);
    close(child.outFd);
    close(child.errFd);
    if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

ProcessResult runProcess(const std::vector<std::string>& args, const std::string& workDir,
                         double timeoutSeconds, const std::vector<std::string>& environment) {
    ChildProcess child = startProcess(args, workDir, environment);
    return waitProcess(child, timeoutSeconds);
}

ProcessResult runProgram(const std::vector<std::string>& options, const std::string& workDir,
                         double timeoutSeconds) {
    std::vector<std::string> args = {TUVERO_BINARY, "--data", TUVERO_DATA_DIR};
    args.insert(args.end(), options.begin(), options.end());
    return runProcess(args, workDir, timeoutSeconds, {"SDL_AUDIODRIVER=dummy"});
}

ChildProcess startShow(const OwnDisplay& display, const std::vector<std::string>& options,
                       const std::string& workDir, std::vector<std::string> environment) {
    std::vector<std::string> args = {TUVERO_BINARY, "--trace", "--data", TUVERO_DATA_DIR};
    args.insert(args.end(), options.begin(), options.end());
    const std::vector<std::string> own = display.environment();
    environment.insert(environment.end(), own.begin(), own.end());
    return startProcess(args, workDir, environment);
}

std::filesystem::path freshFolder(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

std::filesystem::path showDataWithout(const std::string& leftOut, const std::string& folder) {
    const std::filesystem::path data = freshFolder(folder);
    for (const auto& entry : std::filesystem::directory_iterator(TUVERO_DATA_DIR))
        if (entry.path().filename() != leftOut)
            std::filesystem::copy_file(entry.path(), data / entry.path().filename());
    return data;
}

std::string fileContents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

RgbImage readPicture(const std::filesystem::path& path) {
    RgbImage picture;
    std::string error;
    if (!readPngImage(path.string(), picture, error)) return {};
    return picture;
}

double psnr(const RgbImage& a, const RgbImage& b) {
    if (a.pixels.empty() || a.width != b.width || a.height != b.height) return 0;
    return compareImages(a, b, a.width).psnr;
}

std::filesystem::path framePath(const std::filesystem::path& folder, long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06ld.png", frame);
    return folder / name;
}

int countOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size())
        ++count;
    return count;
}

std::vector<SceneStart> sceneStarts(const std::string& trace) {
    std::vector<SceneStart> starts;
    std::istringstream lines(trace);
    std::string line;
    SceneStart s;
    while (std::getline(lines, line))
        if (std::sscanf(line.c_str(), "scene %d frame %ld time %ld", &s.scene, &s.frame, &s.time) ==
            3)
            starts.push_back(s);
    return starts;
}

std::string shellOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    pclose(pipe);
    while (!output.empty() && (output.back() == '\n' || output.back() == ' '))
        output.pop_back();
    return output;
}

bool readOutputUntil(ChildProcess& child, std::string& out, const std::string& text,
                     double timeoutSeconds) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long>(timeoutSeconds * 1000));
    while (out.find(text) == std::string::npos) {
        pollfd ready{child.outFd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        const int polled = poll(&ready, 1, static_cast<int>(std::min<long>(left.count(), 100)));
        if (polled < 0 && errno != EINTR) return false;
        if (polled <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(child.outFd, buffer, sizeof buffer);
        if (n == 0) return out.find(text) != std::string::npos; // the child closed its output
        if (n > 0) out.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

OwnDisplay::OwnDisplay(const std::string& screen) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        const std::string fd = std::to_string(ready[1]);
        // -noreset: otherwise the server resets whenever its last client leaves and drops
        // every client still connecting then. In the questions test that moment comes on
        // every run: the answered message box's process leaves just as the next box, or the
        // program's window, connects; a box dropped so is never shown and counts as No.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    if (pid < 0) {
        close(ready[0]);
        return;
    }
    server_ = pid;
    // Xvfb writes its display number once it accepts connections; it finds a free number
    // itself, so servers started at the same time by other tests never collide.
    ChildProcess reader{pid, ready[0], -1};
    std::string number;
    readOutputUntil(reader, number, "\n", 30);
    close(ready[0]);
    number = number.substr(0, number.find('\n'));
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
        name_ = ":" + number;
}

OwnDisplay::~OwnDisplay() {
    if (server_ <= 0) return;
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
}

std::string OwnDisplay::shell(const std::string& command) const {
    return shellOutput("DISPLAY=" + name_ + "; export DISPLAY; " + command);
}

bool OwnDisplay::pressKey(pid_t pid, const std::string& key) const {
    const std::string ids = shell("xdotool search --pid " + std::to_string(pid) + " 2>/dev/null");
    const std::string id = ids.substr(0, ids.find('\n'));
    if (id.empty()) return false;
    // Without --window, xdotool sends both the press and the release through XTEST; with it,
    // it decides for each separately by where the focus is, and a window that closes on the
    // press would leave the release to be sent elsewhere and the key held.
    shell("timeout 20 xdotool windowfocus --sync " + id + " key " + key + " 2>/dev/null");
    return true;
}

OwnDisplay::Box OwnDisplay::pictureOnScreen(const std::string& shot) const {
    shell("import -window root " + shot + " 2>/dev/null");
    const std::string geometry =
        shellOutput("convert " + shot + " -fuzz 2% -trim -format '%w %h %X %Y' info: 2>/dev/null");
    Box box;
    std::sscanf(geometry.c_str(), "%d %d %d %d", &box.width, &box.height, &box.x, &box.y);
    return box;
}
