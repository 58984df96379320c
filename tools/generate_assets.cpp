// tuvero-assets DIR: writes the show's files into DIR.
// tuvero-assets --icons DIR: writes the program's icon into DIR as a hicolor theme tree.
#include "tools/assets.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <span>

int main(int argc, char** argv) {
    const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: tuvero-assets DIR\n       tuvero-assets --icons DIR\n");
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
    struct Step {
        const char* what;
        bool (*run)(const std::string&, std::string&);
    };
    const Step showSteps[] = {
        {"pictures", generatePictures}, {"models", generateModels}, {"music", generateMusic}};
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
