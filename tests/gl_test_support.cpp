#include "tests/gl_test_support.h"

#include "app/app_state.h"
#include "app/projection.h"
#include "platform/platform.h"
#include "render/context_check.h"
#include "startup/options.h"
#include <cstdio>
#include <string>

bool ensureGlContext(std::uint32_t tick) {
    platform::useVirtualClock(tick, 16);
    std::string error;
    if (platform::windowOpen()) return startLayerOnContext(error);
    appState.screenWidth = 640;
    appState.screenHeight = 480;
    appState.colorBits = 32;
    platform::WindowOptions options;
    options.hidden = true;
    options.vsync = false;
    if (!platform::openWindow(options, error) || !startLayerOnContext(error)) {
        std::fprintf(stderr, "no GL context: %s\n", error.c_str());
        return false;
    }
    appState.window = 1;
    setupProjection();
    return true;
}

ShowOptions hiddenRun(long frames) {
    ShowOptions options;
    options.fullScreen = false;
    options.music = false;
    options.stepMs = 16;
    options.hidden = true;
    options.frames = frames;
    options.dataDir = TUVERO_DATA_DIR;
    return options;
}

std::vector<std::uint8_t> offscreenPicture() { return platform::readOffscreenFrame(); }

Rgb pixelAt(int x, int y) {
    auto picture = platform::readOffscreenFrame();
    size_t at = (static_cast<size_t>(y) * platform::frameWidth() + x) * 3;
    return {picture[at], picture[at + 1], picture[at + 2]};
}

int parseWords(std::vector<std::string> words, ShowOptions& options) {
    words.insert(words.begin(), "tuvero");
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back(w.data());
    std::string error;
    return parseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}
