#include "platform/browser.h"
#include "startup/options.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ShowOptions options;
    std::string error;
    if (parseOptions(argc, argv, options, error) != 0) {
        std::fprintf(stderr, "tuvero: %s\n%s", error.c_str(), usageText());
        return 2;
    }
    if (options.version) {
        std::printf("tuvero %s\n", TUVERO_VERSION);
        return 0;
    }
    if (options.help) {
        std::printf("%s", usageText());
        return 0;
    }
    const int code = runShow(options);
    platform::browser::showEnded(code);
    return code;
}
