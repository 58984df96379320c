// A stand-in for the show in the browser build while the show's drawing cannot run on WebGL 2:
// it opens the canvas, plays the music and draws a colour that follows the clock, and takes
// the same options as the show for the page's checks (--window/--fullscreen, --music/--silent,
// --snapshots with --snapshot-dir, --music-hash).
#include "offline/music_hash.h"
#include "platform/browser.h"
#include "platform/module_player.h"
#include "platform/platform.h"

#include <GLES3/gl3.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    bool fullScreen = false, music = false;
    std::vector<long> snapshots;
    std::string snapshotDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--fullscreen") fullScreen = true;
        if (arg == "--music") music = true;
        if (arg == "--music-hash" && i + 1 < argc) {
            const int code = printMusicHash("/show/data/musa.mo3", std::atof(argv[++i]));
            platform::browser::showEnded(code);
            return code;
        }
        if (arg == "--snapshot-dir" && i + 1 < argc) snapshotDir = argv[++i];
        if (arg == "--snapshots" && i + 1 < argc) {
            std::stringstream list(argv[++i]);
            for (std::string f; std::getline(list, f, ',');)
                snapshots.push_back(std::atol(f.c_str()));
        }
    }
    const bool offline = !snapshots.empty();
    if (offline) platform::useVirtualClockAtRate(100000, 60);
    std::string error;
    platform::WindowOptions window;
    window.fullScreen = fullScreen;
    if (!platform::openWindow(window, error)) {
        std::fprintf(stderr, "tuvero: %s\n", error.c_str());
        return 1;
    }
    platform::setPictureSize({!offline, 640, 480, offline ? 0 : -1}, error);
    const auto output = offline ? platform::MusicOutput::LockStep
                        : music ? platform::MusicOutput::Device
                                : platform::MusicOutput::Silent;
    if (!platform::musicLoad("/show/data/musa.mo3", output, error)) {
        std::fprintf(stderr, "tuvero: %s\n", error.c_str());
        return 1;
    }
    platform::musicPlay(platform::tickCount());
    const long lastFrame = offline ? snapshots.back() : -1;
    for (long frame = 0; lastFrame < 0 || frame <= lastFrame; ++frame) {
        if (platform::pumpEvents()) break;
        platform::musicDeliverSyncs(platform::tickCount(), [](int) {});
        const float t = static_cast<float>(platform::tickCount() % 4000) / 4000.0f;
        glClearColor(0.5f + 0.5f * std::sin(6.2832f * t), 0.3f, 0.5f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        for (long wanted : snapshots) {
            if (wanted != frame) continue;
            char name[64];
            std::snprintf(name, sizeof name, "%s/frame_%06ld.png", snapshotDir.c_str(), frame);
            const std::vector<std::uint8_t> rgb = platform::readOffscreenFrame();
            if (!platform::writePng(name, rgb.data(), platform::frameWidth(),
                                    platform::frameHeight(), error))
                std::fprintf(stderr, "tuvero: %s\n", error.c_str());
        }
        platform::presentFrame();
        if (offline) platform::advanceVirtualClock();
    }
    platform::musicFree();
    platform::closeWindow();
    platform::browser::showEnded(0);
    return 0;
}
