#include "app/playback.h"

#include "app/app.h"
#include "app/music.h"
#include "app/scene_table.h"
#include "platform/browser.h"
#include "platform/module_player.h"
#include "platform/platform.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

namespace {

constexpr std::uint32_t jumpStepsPerSecond = 60;

JumpTarget startJump;
JumpTarget target;
bool jumping = false;
bool paused = false;
long framesOfJumps = 0;
int lastScreenshot = 0;
std::chrono::steady_clock::time_point jumpStarted;
std::clock_t jumpCpuStarted = 0;

bool loaded() { return currentScene >= 1 && currentScene < sceneCount; }

std::uint32_t showMs() { return platform::tickCount() - platform::musicStartTick(); }

bool arrived() {
    if (quitRequested()) return true;
    if (target.kind == JumpTarget::Kind::ShowTime) return showMs() >= target.showMs;
    return currentScene >= target.entry;
}

void endJump() {
    jumping = false;
    platform::setMinimalDrawing(false);
    deliverSyncsByFrameSpan(false);
    platform::musicSetLockStep(false);
    const std::uint32_t now = platform::tickCount();
    if (showOptions().stepMs > 0)
        platform::useVirtualClockAtStep(now, stepMicroseconds(showOptions()), 1000);
    else
        platform::useRealClockFrom(now);
    using namespace std::chrono;
    const double seconds = duration<double>(steady_clock::now() - jumpStarted).count();
    const double cpu = static_cast<double>(std::clock() - jumpCpuStarted) / CLOCKS_PER_SEC;
    if (quitRequested()) return;
    std::printf("at %.3f s of the show (entry %d, music at %.3f s); the jump took %.1f s, "
                "%.1f s of processor time\n",
                showMs() / 1000.0, currentScene, platform::musicPositionSeconds(), seconds, cpu);
}

} // namespace

void setStartJump(const JumpTarget& jump) { startJump = jump; }
bool jumpInProgress() { return jumping; }
long jumpFrames() { return framesOfJumps; }
bool showPaused() { return paused; }

namespace {
bool startJumpNow(const JumpTarget& jump, bool fromMusicStart) {
    if (jumping || !loaded() || jump.kind == JumpTarget::Kind::None) return false;
    target = jump;
    if (arrived()) return false;
    jumping = true;
    jumpStarted = std::chrono::steady_clock::now();
    jumpCpuStarted = std::clock();
    // Music and syncs as in a capture at 60 frames per second.
    platform::musicSetLockStep(true);
    deliverSyncsByFrameSpan(true);
    platform::setMinimalDrawing(true);
    if (fromMusicStart) {
        // The steps fall where a capture's frames fall: the frames run so far (the last one
        // started the music) count as steps of the grid, whose start is moved so that the
        // music starts on the tick it started on. The first scene's first frame is one step on.
        const long run = frameNumber();
        const auto before = static_cast<std::uint32_t>((run - 1) * 1000 / jumpStepsPerSecond);
        platform::useVirtualClockAtRate(platform::musicStartTick() - before, jumpStepsPerSecond);
        for (long n = 0; n < run; ++n)
            platform::advanceVirtualClock();
    } else {
        platform::useVirtualClockAtRate(platform::tickCount(), jumpStepsPerSecond);
    }
    return true;
}
} // namespace

bool beginJump(const JumpTarget& jump) { return startJumpNow(jump, false); }

void afterMainLoopFrame() {
    if (jumping) ++framesOfJumps;
    if (startJump.kind != JumpTarget::Kind::None && loaded() && !jumping) {
        const JumpTarget jump = startJump;
        startJump = {};
        startJumpNow(jump, true);
    }
    if (jumping && (arrived() || platform::musicEnded())) {
        if (!arrived()) std::fprintf(stderr, "tuvero: the music ended before the jump arrived\n");
        endJump();
    }
}

void setShowPaused(bool pause) {
    if (pause == paused || jumping) return;
    paused = pause;
    // The music's position is read while it stands still: before it plays on.
    if (pause) platform::musicPause(true);
    platform::pauseClock(pause);
    const double music = platform::musicPositionSeconds();
    if (!pause) platform::musicPause(false);
    if (showOptions().trace)
        std::printf("%s tick %u music %.6f\n", pause ? "pause" : "resume",
                    static_cast<unsigned>(platform::tickCount()), music);
}

void showHeldPicture() {
    platform::presentFrame();
#ifndef __EMSCRIPTEN__
    // Without vsync nothing else waits: do not spin on the held picture. (In a browser the
    // presentation waits for the page's next frame.)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
#endif
}

std::string writeNumberedScreenshot() {
    namespace fs = std::filesystem;
    std::string name;
    std::error_code error;
    do {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "tuvero-%04d.png", ++lastScreenshot);
        name = buffer;
    } while (fs::exists(name, error) && lastScreenshot < 9999);
    if (fs::exists(name, error)) {
        std::fprintf(stderr, "tuvero: no free screenshot name is left (tuvero-9999.png)\n");
        return "";
    }
    const std::vector<std::uint8_t> picture = platform::readOffscreenFrame();
    std::string failure;
    if (!platform::writePng(name, picture.data(), platform::frameWidth(), platform::frameHeight(),
                            failure)) {
        std::fprintf(stderr, "tuvero: %s\n", failure.c_str());
        return "";
    }
    std::printf("%s\n", name.c_str());
    platform::browser::offerDownload(name); // in a browser the working folder is not the user's
    return name;
}

void handleControlKeys() {
    platform::ControlKey key;
    while (platform::takeControlKey(key)) {
        switch (key) {
        case platform::ControlKey::Pause:
            setShowPaused(!paused);
            break;
        case platform::ControlKey::FullScreen:
            platform::setFullScreen(!platform::fullScreenActive());
            break;
        case platform::ControlKey::Screenshot:
            // During a jump the frames are not drawn: the picture on the screen is older.
            if (!jumping) writeNumberedScreenshot();
            break;
        case platform::ControlKey::NextEntry:
            if (loaded() && currentScene + 1 < sceneCount) {
                setShowPaused(false);
                beginJump({JumpTarget::Kind::Entry, 0, currentScene + 1});
            }
            break;
        }
    }
}
