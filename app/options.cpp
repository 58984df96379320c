// The command line beside the two start-up questions.
#include "app/app.h"

#include <charconv>
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
        } else {
            error = "unknown option " + arg;
            return 2;
        }
    }
    return 0;
}
