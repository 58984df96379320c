// tuvero-assets DIR: writes the show's files into DIR.
#include "tools/assets.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tuvero-assets DIR\n");
        return 2;
    }
    std::string directory = argv[1];
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
    } steps[] = {{"pictures", generatePictures}, {"models", generateModels}, {"music", generateMusic}};
    for (const Step& step : steps) {
        if (!step.run(directory, error)) {
            std::fprintf(stderr, "tuvero-assets: %s: %s\n", step.what, error.c_str());
            return 1;
        }
    }
    return 0;
}
