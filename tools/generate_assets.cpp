// tuvero-assets DIR: writes the show's files into DIR.
// tuvero-assets --scale K DIR: writes only the pictures, K times their classic width and height
// (K from 1 to 4), into DIR; models and music are the same at every scale.
// tuvero-assets --icons DIR: writes the program's icon into DIR as a hicolor theme tree.
#include "tools/assets.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <span>
#include <unistd.h>

namespace {

int usage() {
    std::fprintf(stderr, "usage: tuvero-assets DIR\n       tuvero-assets --scale K DIR\n"
                         "       tuvero-assets --icons DIR\n");
    return 2;
}

// A whole number in 1..maxPictureScale, the whole text and nothing else.
bool parseScale(const char* text, int& scale) {
    const char* end = text + std::strlen(text);
    auto [stop, ec] = std::from_chars(text, end, scale);
    return ec == std::errc() && stop == end && stop != text && isPictureScale(scale);
}

// On a terminal, one line that counts the sets as they are painted; elsewhere (build logs)
// nothing.
PictureProgress terminalProgress(int scale) {
    if (!isatty(STDERR_FILENO)) return {};
    return [scale](std::size_t done, std::size_t total, const std::string& file) {
        std::fprintf(stderr, "\rtuvero-assets: pictures at %dx: %zu of %zu %-24s", scale, done,
                     total, file.c_str());
        if (done == total) std::fputc('\n', stderr);
        std::fflush(stderr);
    };
}

} // namespace

int main(int argc, char** argv) {
    const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    const bool scaled = argc == 4 && std::strcmp(argv[1], "--scale") == 0;
    if (argc != 2 && !icons && !scaled) return usage();
    if (argc == 2 && argv[1][0] == '-') return usage();
    int scale = 1;
    if (scaled && !parseScale(argv[2], scale)) {
        std::fprintf(stderr, "tuvero-assets: --scale takes a whole number from 1 to %d, not '%s'\n",
                     maxPictureScale, argv[2]);
        return 2;
    }
    std::string directory = argv[argc - 1];
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    if (ec) {
        std::fprintf(stderr, "tuvero-assets: cannot create %s: %s\n", directory.c_str(),
                     ec.message().c_str());
        return 1;
    }
    std::string error;
    if (scaled) {
        if (!generatePictures(directory, error, scale, terminalProgress(scale))) {
            std::fprintf(stderr, "tuvero-assets: pictures: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    struct Step {
        const char* what;
        bool (*run)(const std::string&, std::string&);
    };
    const Step showSteps[] = {
        {"pictures", [](const std::string& d, std::string& e) { return generatePictures(d, e); }},
        {"models", generateModels},
        {"music", generateMusic}};
    const Step iconSteps[] = {{"icons", generateIcons}};
    for (const Step& step :
         icons ? std::span<const Step>(iconSteps) : std::span<const Step>(showSteps)) {
        if (!step.run(directory, error)) {
            std::fprintf(stderr, "tuvero-assets: %s: %s\n", step.what, error.c_str());
            return 1;
        }
    }
    return 0;
}
