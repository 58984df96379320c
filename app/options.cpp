// The command line beside the two start-up questions.
#include "app/app.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

const char* usageText() {
    return "usage: tuvero [options]\n"
           "  --window | --fullscreen   answer the first question (full screen?)\n"
           "  --music | --silent        answer the second question (music?)\n"
           "  --data DIR                read the show's files from DIR\n"
           "  --no-vsync                do not wait for the display between frames\n"
           "  --step MS                 virtual tick counter: MS milliseconds per frame\n"
           "  --frames N                end as if Escape was pressed after N frames\n"
           "  --trace                   print scene changes and music syncs\n"
           "  --screenshot FILE         write the last presented frame as PNG at the end\n"
           "  --hidden                  run without a visible window\n"
           "  --capture FILE            render the show offline into FILE.mkv, FILE.mp4 or a\n"
           "                            folder of PNG frames and music.wav\n"
           "  --fps N                   capture frame rate (default 60)\n"
           "  --scale K                 capture frames K times larger (default 1)\n"
           "  --hold S                  capture S seconds of the final picture (default 5)\n"
           "  --duration S              capture only the first S seconds\n"
           "  --snapshots F,F,...       render the show offline and write only frames F (from 0,\n"
           "                            at 60 fps) as frame_NNNNNN.png into --snapshot-dir\n"
           "  --snapshot-dir DIR        existing folder for --snapshots\n"
           "  --benchmark               measure frame times over the whole show\n"
           "  --benchmark-json FILE     also write the measurements as JSON\n"
           "  --help                    show this text\n";
}

namespace {
template <typename T> bool parseNumber(const char* text, T& value) {
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, value);
    return ec == std::errc() && ptr == end;
}
} // namespace

int parseOptions(int argc, char** argv, ShowOptions& options, std::string& error) {
    CaptureSettings captureSettings; // the capture options may come before --capture
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char*& out) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        const char* text = nullptr;
        if (arg == "--window") {
            options.fullScreen = false;
        } else if (arg == "--fullscreen") {
            options.fullScreen = true;
        } else if (arg == "--music") {
            options.music = true;
        } else if (arg == "--silent") {
            options.music = false;
        } else if (arg == "--no-vsync") {
            options.vsync = false;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--hidden") {
            options.hidden = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--data") {
            if (!value(text)) return 2;
            options.dataDir = text;
        } else if (arg == "--screenshot") {
            if (!value(text)) return 2;
            options.screenshot = text;
        } else if (arg == "--step") {
            if (!value(text)) return 2;
            if (!parseNumber(text, options.stepMs) || options.stepMs == 0 ||
                options.stepMs > 60000) {
                error = "--step takes milliseconds from 1 to 60000";
                return 2;
            }
        } else if (arg == "--frames") {
            if (!value(text)) return 2;
            if (!parseNumber(text, options.frames) || options.frames < 0) {
                error = "--frames takes a number of frames, 0 or more";
                return 2;
            }
        } else if (arg == "--capture") {
            if (!value(text)) return 2;
            if (!options.capture) options.capture.emplace();
            options.capture->target = text;
        } else if (arg == "--fps" || arg == "--scale") {
            if (!value(text)) return 2;
            unsigned number = 0;
            if (!parseNumber(text, number) || number == 0 || number > (arg == "--fps" ? 240 : 8)) {
                error = arg == "--fps" ? "--fps takes 1 to 240" : "--scale takes 1 to 8";
                return 2;
            }
            (arg == "--fps" ? captureSettings.fps : captureSettings.scale) = number;
        } else if (arg == "--hold" || arg == "--duration") {
            if (!value(text)) return 2;
            char* end = nullptr;
            double seconds = std::strtod(text, &end);
            if (*end != '\0' || !(seconds > 0 && seconds <= 3600)) {
                error = arg + " takes seconds from 0 to 3600";
                return 2;
            }
            (arg == "--hold" ? captureSettings.holdSeconds : captureSettings.durationSeconds) =
                seconds;
        } else if (arg == "--snapshots") {
            if (!value(text)) return 2;
            if (!options.snapshots) options.snapshots.emplace();
            if (!parseSnapshotFrames(text, options.snapshots->frames, error)) return 2;
        } else if (arg == "--snapshot-dir") {
            if (!value(text)) return 2;
            if (!options.snapshots) options.snapshots.emplace();
            options.snapshots->folder = text;
        } else if (arg == "--benchmark") {
            options.benchmark = true;
        } else if (arg == "--benchmark-json") {
            if (!value(text)) return 2;
            options.benchmark = true;
            options.benchmarkJson = text;
        } else {
            error = "unknown option " + arg;
            return 2;
        }
    }
    if (options.capture) {
        captureSettings.target = options.capture->target;
        options.capture = captureSettings;
        if (options.benchmark) {
            error = "--capture and --benchmark cannot run together";
            return 2;
        }
    }
    if (options.snapshots) {
        if (options.snapshots->frames.empty() || options.snapshots->folder.empty()) {
            error = "--snapshots and --snapshot-dir go together";
            return 2;
        }
        if (options.capture || options.benchmark) {
            error = "--snapshots cannot run with --capture or --benchmark";
            return 2;
        }
    }
    return 0;
}
