// The command line and start-up: what the program was asked to do, and the run that does it.
#pragma once

#include "app/play_settings.h"
#include "app/release.h"
#include "offline/capture.h"
#include "offline/flash_report.h"
#include "offline/snapshots.h"
#include <cstdint>
#include <optional>
#include <string>

struct ShowOptions {
    std::optional<bool> fullScreen; // answers the first question when set
    std::optional<bool> music;      // answers the second question when set
    std::string dataDir;            // where the show's files are read from
    bool vsync = true;
    std::uint32_t stepMs = 0; // > 0: virtual tick counter, this many ms per frame (rounded)
    std::uint32_t stepMicroseconds = 0; // the step exactly, when --step has decimals
    long frames = -1;                   // >= 0: end as if Escape was pressed after this many frames
    bool trace = false;
    std::string screenshot;                 // PNG of the last presented frame, written at the end
    bool hidden = false;                    // no visible window (tests)
    std::optional<CaptureSettings> capture; // render offline into a video or a folder
    bool benchmark = false;                 // measure frame times over the whole show
    std::string benchmarkJson;              // also write the measurements here
    double startAtSeconds = -1; // >= 0: jump this far into the show once loading is done
    int startAtEntry = 0;       // > 1: jump to the start of this scene entry instead
    int cueOnceInstrument = 7;  // its first note cues the music sync of value 0
    int cueEveryInstrument = 3; // each of its notes cues the sync of value 1
    // Size of the picture: 0 x 0 draws the 4:3 area of the window (or classic, see
    // chooseRenderSize); --classic draws 640 x 480 and scales it up.
    int renderWidth = 0, renderHeight = 0;
    bool classic = false;
    int msaa = -1;               // samples per pixel; -1: 4 above 640 x 480, none at or below
    double musicHashSeconds = 0; // > 0: only print the hash of this much mixed music
    bool help = false;
    bool version = false;
    // Render offline and write only the chosen frames.
    std::optional<SnapshotSettings> snapshots;
    // Render offline and analyse every frame for flashes.
    std::optional<FlashReportSettings> flashReport;
    // Flashes and shakes toned down; cues, phases and timing unchanged.
    bool gentle = false;
};

// The --step in microseconds (from stepMs when the exact value was not given).
inline std::uint64_t stepMicroseconds(const ShowOptions& options) {
    return options.stepMicroseconds ? options.stepMicroseconds : options.stepMs * 1000ull;
}

// Parses the command line. Returns 0 when fine, 2 with `error` set for unknown or bad options.
int parseOptions(int argc, char** argv, ShowOptions& options, std::string& error);
const char* usageText();

// The whole program after the command line: questions, window, music, show, release.
// Returns the process exit code.
int runShow(const ShowOptions& options);

// What the show's core takes from the options.
PlaySettings playSettingsOf(const ShowOptions& options);
