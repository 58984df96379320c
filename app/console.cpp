#include "app/console.h"

#include "app/play_settings.h"
#include "platform/platform.h"

#include <cstdio>

namespace {
bool progressOpen = false;
}

void printProgressLine(const std::string& text) {
    std::fprintf(stderr, "\r%s", text.c_str());
    std::fflush(stderr);
    progressOpen = true;
}

void endProgressLine() {
    if (progressOpen) std::fputc('\n', stderr);
    progressOpen = false;
}

void printMessageLine(const std::string& text) {
    endProgressLine();
    std::fprintf(stderr, "tuvero: %s\n", text.c_str());
}

void reportToUser(const std::string& text, const std::string& title) {
    printMessageLine(text);
    const PlaySettings& settings = playSettings();
    if (!settings.offline && !settings.hidden && platform::windowOpen())
        platform::messageBox({text, title, false});
}
