// Runs the real program as a child process (for exit codes, traces and X input tests).
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct ProcessResult {
    int exitCode = -1; // -1 when killed by a signal or timed out
    bool timedOut = false;
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
