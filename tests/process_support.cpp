#include "tests/process_support.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
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
    return result;
}

ProcessResult runProcess(const std::vector<std::string>& args, const std::string& workDir,
                         double timeoutSeconds, const std::vector<std::string>& environment) {
    ChildProcess child = startProcess(args, workDir, environment);
    return waitProcess(child, timeoutSeconds);
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
