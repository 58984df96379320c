// The command line beside the two start-up questions.
#include "startup/options.h"

#include "startup/render_size.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

const char* usageText() {
    return "usage: tuvero [options]\n"
           "  --window | --fullscreen   answer the first question (full screen?)\n"
           "  --music | --silent        answer the second question (music?)\n"
           "  --data DIR                read the show's files from DIR\n"
           "  --no-vsync                do not wait for the display between frames\n"
           "  --render-size WxH         draw the picture at W x H pixels (4:3, such as\n"
           "                            1920x1440); by default the window's 4:3 area, or\n"
           "                            640 x 480 on a software renderer and offline\n"
           "  --classic                 draw 640 x 480 and scale it up to the window\n"
           "  --msaa N                  anti-aliasing with N samples: 0 (off), 2, 4, 8 or 16\n"
           "                            (default 4 above 640 x 480, off at 640 x 480)\n"
           "  --step MS                 virtual tick counter: MS milliseconds per frame\n"
           "                            (decimals allowed: 16.6667 is 60 frames a second)\n"
           "  --frames N                end as if Escape was pressed after N frames\n"
           "  --trace                   print scene changes and music syncs\n"
           "  --screenshot FILE         write the last presented frame as PNG at the end\n"
           "  --hidden                  run without a visible window\n"
           "  --capture FILE            render the show offline into FILE.mkv, FILE.mp4 or a\n"
           "                            folder of PNG frames and music.wav\n"
           "  --fps N                   capture frame rate (default 60)\n"
           "  --scale K                 capture 640 x 480 frames enlarged K times, pixel by\n"
           "                            pixel (default 1; --render-size renders larger)\n"
           "  --hold S                  capture S seconds of the final picture (default 5)\n"
           "  --duration S              capture only the first S seconds\n"
           "  --from S, --to S          capture (or analyse) only the clip from S to S seconds\n"
           "                            of what a whole capture holds (it starts with loading)\n"
           "  --snapshots F,F,...       render the show offline and write only frames F (from 0,\n"
           "                            at 60 fps) as frame_NNNNNN.png into --snapshot-dir\n"
           "  --snapshot-dir DIR        existing folder for --snapshots\n"
           "  --flash-report FILE.csv   render the show offline, measure its flashes frame by\n"
           "                            frame into FILE.csv and print the verdict (exit code 3\n"
           "                            when more than three flashes fall in some second)\n"
           "  --gentle                  reduced flashing: the flashes and shakes toned down\n"
           "  --benchmark               measure frame times over the whole show\n"
           "  --benchmark-json FILE     also write the measurements as JSON\n"
           "  --cue-instruments ONCE,EVERY\n"
           "                            the music's cues: the first note of instrument ONCE and\n"
           "                            every note of instrument EVERY (default 7,3)\n"
           "  --start-at SECONDS        start the show SECONDS after the music started\n"
           "  --start-at-entry N        start the show at scene entry N (1 to 12)\n"
           "  --music-hash S            mix the first S seconds of the music as a capture does\n"
           "                            and print a hash of the samples\n"
           "  --version                 print the version\n"
           "  --help                    show this text\n"
           "\n"
           "keys while the show runs:\n"
           "  Space                     pause and resume\n"
           "  F11, Alt+Enter            switch between window and full screen\n"
           "  F12                       write the picture as tuvero-0001.png, ... here\n"
           "  Page Down                 jump to the start of the next scene\n"
           "  Page Up                   jump to the start of this scene (after its first\n"
           "                            2 s: of the previous one)\n"
           "  , (comma), . (full stop)  jump 5 s back, forward\n"
           "  Home                      start again from the first scene\n"
           "  Escape                    quit\n";
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
        // --option=value is the same as --option value.
        std::string inlineValue;
        bool hasInlineValue = false, inlineValueTaken = false;
        if (const size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != arg.npos) {
            inlineValue = arg.substr(equals + 1);
            arg.resize(equals);
            hasInlineValue = true;
        }
        auto value = [&](const char*& out) {
            if (hasInlineValue) {
                out = inlineValue.c_str();
                inlineValueTaken = true;
                return true;
            }
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
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--data") {
            if (!value(text)) return 2;
            options.dataDir = text;
        } else if (arg == "--screenshot") {
            if (!value(text)) return 2;
            options.screenshot = text;
        } else if (arg == "--step") {
            if (!value(text)) return 2;
            char* end = nullptr;
            const double ms = std::strtod(text, &end);
            if (*end != '\0' || !(ms >= 1 && ms <= 60000)) {
                error = "--step takes milliseconds from 1 to 60000";
                return 2;
            }
            options.stepMs = static_cast<std::uint32_t>(ms + 0.5);
            options.stepMicroseconds = static_cast<std::uint32_t>(ms * 1000 + 0.5);
        } else if (arg == "--frames") {
            if (!value(text)) return 2;
            if (!parseNumber(text, options.frames) || options.frames < 1) {
                error = "--frames takes a number of frames, 1 or more";
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
        } else if (arg == "--from" || arg == "--to" || arg == "--start-at") {
            if (!value(text)) return 2;
            char* end = nullptr;
            double seconds = std::strtod(text, &end);
            if (*end != '\0' || !(seconds >= 0 && seconds <= 3600)) {
                error = arg + " takes seconds from 0 to 3600";
                return 2;
            }
            (arg == "--from" ? captureSettings.fromSeconds
             : arg == "--to" ? captureSettings.toSeconds
                             : options.startAtSeconds) = seconds;
        } else if (arg == "--start-at-entry") {
            if (!value(text)) return 2;
            if (!parseNumber(text, options.startAtEntry) || options.startAtEntry < 1 ||
                options.startAtEntry > 12) {
                error = "--start-at-entry takes a scene entry from 1 to 12";
                return 2;
            }
        } else if (arg == "--snapshots") {
            if (!value(text)) return 2;
            if (!options.snapshots) options.snapshots.emplace();
            if (!parseSnapshotFrames(text, options.snapshots->frames, error)) return 2;
        } else if (arg == "--snapshot-dir") {
            if (!value(text)) return 2;
            if (!options.snapshots) options.snapshots.emplace();
            options.snapshots->folder = text;
        } else if (arg == "--cue-instruments") {
            if (!value(text)) return 2;
            const std::string pair = text;
            const size_t comma = pair.find(',');
            int once = 0, every = 0;
            if (comma == std::string::npos || !parseNumber(pair.substr(0, comma).c_str(), once) ||
                !parseNumber(pair.substr(comma + 1).c_str(), every) || once < 1 || once > 255 ||
                every < 1 || every > 255) {
                error =
                    "--cue-instruments takes two instrument numbers from 1 to 255, as ONCE,EVERY";
                return 2;
            }
            options.cueOnceInstrument = once;
            options.cueEveryInstrument = every;
        } else if (arg == "--render-size") {
            if (!value(text)) return 2;
            if (!parseRenderSize(text, options.renderWidth, options.renderHeight)) {
                error = renderSizeRule;
                return 2;
            }
        } else if (arg == "--classic") {
            options.classic = true;
        } else if (arg == "--msaa") {
            if (!value(text)) return 2;
            int samples = -1;
            if (!parseNumber(text, samples) ||
                (samples != 0 && samples != 2 && samples != 4 && samples != 8 && samples != 16)) {
                error = "--msaa takes 0 (off), 2, 4, 8 or 16 samples";
                return 2;
            }
            options.msaa = samples;
        } else if (arg == "--music-hash") {
            if (!value(text)) return 2;
            char* end = nullptr;
            const double seconds = std::strtod(text, &end);
            if (*end != '\0' || !(seconds > 0 && seconds <= 3600)) {
                error = "--music-hash takes seconds from 0 to 3600";
                return 2;
            }
            options.musicHashSeconds = seconds;
        } else if (arg == "--flash-report") {
            if (!value(text)) return 2;
            options.flashReport.emplace();
            options.flashReport->csvPath = text;
        } else if (arg == "--gentle") {
            options.gentle = true;
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
        if (hasInlineValue && !inlineValueTaken) {
            error = arg + " takes no value";
            return 2;
        }
    }
    const bool clip = captureSettings.fromSeconds > 0 || captureSettings.toSeconds > 0;
    if (clip && !options.capture && !options.flashReport) {
        error = "--from and --to go with --capture or --flash-report";
        return 2;
    }
    if (captureSettings.toSeconds > 0 && captureSettings.toSeconds <= captureSettings.fromSeconds) {
        error = "--to must come after --from";
        return 2;
    }
    if (captureSettings.toSeconds > 0 && captureSettings.durationSeconds > 0) {
        error = "--to and --duration both say where the capture ends: give one";
        return 2;
    }
    if (options.startAtSeconds >= 0 && options.startAtEntry > 0) {
        error = "--start-at and --start-at-entry cannot go together";
        return 2;
    }
    if (options.flashReport) {
        if (options.capture || options.benchmark || options.snapshots) {
            error = "--flash-report runs on its own, not with --capture, --benchmark or "
                    "--snapshots";
            return 2;
        }
        options.flashReport->fromSeconds = captureSettings.fromSeconds;
        options.flashReport->toSeconds = captureSettings.toSeconds;
    }
    if ((options.startAtSeconds >= 0 || options.startAtEntry > 0) &&
        (options.capture || options.benchmark || options.snapshots || options.flashReport)) {
        error = "--start-at is for the live show; a capture takes --from";
        return 2;
    }
    if (options.classic && options.renderWidth > 0) {
        error = "--classic draws 640 x 480: it cannot go with --render-size";
        return 2;
    }
    if (options.renderWidth > 0 && captureSettings.scale > 1) {
        error = "--scale enlarges the 640 x 480 picture; with --render-size the capture is drawn "
                "at that size";
        return 2;
    }
    if (options.renderWidth > 0) {
        captureSettings.width = options.renderWidth;
        captureSettings.height = options.renderHeight;
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
    if (!options.screenshot.empty() &&
        (options.capture || options.benchmark || options.snapshots || options.flashReport)) {
        error = "--screenshot is for a show on screen, not with --capture, --benchmark or "
                "--snapshots (a "
                "capture to a folder keeps every frame as PNG)";
        return 2;
    }
    return 0;
}
