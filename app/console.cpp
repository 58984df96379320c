#include "app/console.h"

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
    std::fprintf(stderr, "%s\n", text.c_str());
}
