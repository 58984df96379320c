// Start-up, command line and release of the show.
#pragma once

#include "offline/capture.h"
#include "offline/snapshots.h"
#include <cstdint>
#include <optional>
#include <string>

struct ShowOptions {
    std::optional<bool> fullScreen; // answers the first question when set
    std::optional<bool> music;      // answers the second question when set
    std::string dataDir;            // where the show's files are read from
    bool vsync = true;
    std::uint32_t stepMs = 0; // > 0: virtual tick counter, this many ms per frame
    long frames = -1;         // >= 0: end as if Escape was pressed after this many frames
    bool trace = false;
    std::string screenshot;                 // PNG of the last presented frame, written at the end
    bool hidden = false;                    // no visible window (tests)
    std::optional<CaptureSettings> capture; // render offline into a video or a folder
    bool benchmark = false;                 // measure frame times over the whole show
    std::string benchmarkJson;              // also write the measurements here
    bool help = false;
    // Render offline and write only the chosen frames.
    std::optional<SnapshotSettings> snapshots;
};

// Parses the command line. Returns 0 when fine, 2 with `error` set for unknown or bad options.
int parseOptions(int argc, char** argv, ShowOptions& options, std::string& error);
const char* usageText();

// The whole program after the command line: questions, window, music, show, release.
// Returns the process exit code.
int runShow(const ShowOptions& options);

// Viewport of the whole screen and the one perspective projection of the run.
void setupProjection();

// Releases everything in reverse order of creation; safe to call more than once.
void releaseAll();
// Prints `message` to stderr, releases everything and ends the process with `code`.
[[noreturn]] void failAndExit(const std::string& message, int code);

// The options of the running show (trace, frame limit).
const ShowOptions& showOptions();
// Frames run so far by the main loop, and the tick of the first frame.
long frameNumber();
