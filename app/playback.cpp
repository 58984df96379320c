#include "app/playback.h"

#include "app/music.h"
#include "app/play_settings.h"
#include "app/scene_table.h"
#include "app/show_observer.h"
#include "platform/browser.h"
#include "platform/module_player.h"
#include "platform/platform.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

namespace {

JumpTarget startJump;
bool jumping = false;
bool paused = false;
bool frameWhilePaused = false; // a jump while paused: its moment is drawn once, then held
long framesOfJumps = 0;
int lastScreenshot = 0;
int entrySeen = -1;               // the entry the last frame played
std::uint32_t entryStartTick = 0; // the tick of its first frame
// The title shows where the show is while paused and until this moment after a jump.
std::chrono::steady_clock::time_point titleUntil;
bool titleShown = false;

// "Tuvero - 1:23.4 - tunnel": the show's time and the current entry's scene.
void showPositionInTitle() {
    const std::uint32_t ms = showMsAt(platform::tickCount());
    char text[96];
    const char* name = sceneTable[currentScene].name ? sceneTable[currentScene].name : "";
    std::snprintf(text, sizeof text, "Tuvero - %u:%04.1f - %s", ms / 60000,
                  (ms % 60000) / 1000.0, name);
    platform::setWindowTitle(text);
    titleShown = true;
}

void restoreTitle() {
    if (!titleShown) return;
    platform::setWindowTitle("Tuvero");
    titleShown = false;
}

bool loaded() { return currentScene >= 1 && currentScene < sceneCount; }

} // namespace

void setStartJump(const JumpTarget& jump) { startJump = jump; }
bool jumpInProgress() { return jumping; }
long jumpFrames() { return framesOfJumps; }
bool showPaused() { return paused; }

bool beginJump(const JumpTarget& target) {
    if (jumping || !loaded() || !showStarted() || target.kind == JumpTarget::Kind::None)
        return false;
    using namespace std::chrono;
    const auto wallStarted = steady_clock::now();
    const std::clock_t cpuStarted = std::clock();
    jumping = true;
    // The device stands still while the show is replayed; the module is moved afterwards.
    platform::musicSetLockStep(true);
    const JumpOutcome outcome = replayShowTo(target);
    framesOfJumps += outcome.steps;
    const PlaySettings& settings = playSettings();
    if (platform::musicPlaying()) {
        const std::uint64_t next =
            std::uint64_t{showMsAt(outcome.nextTick)} * platform::musicSampleRate / 1000;
        // An offline run keeps its sound: the module plays on to there as it would have.
        if (settings.offline)
            platform::musicSkipTo(next);
        else
            platform::musicSeek(next);
    }
    platform::musicSetLockStep(false);
    entrySeen = currentScene;
    entryStartTick = outcome.entryStartTick;
    if (settings.offline) // on the run's own grid of frames
        platform::useVirtualClockAtRate(outcome.gridStartTick, settings.framesPerSecond,
                                        static_cast<std::uint64_t>(outcome.nextFrame));
    else if (settings.stepMicroseconds > 0)
        platform::useVirtualClockAtStep(outcome.nextTick, settings.stepMicroseconds, 1000);
    else
        platform::useRealClockFrom(outcome.nextTick);
    jumping = false;
    if (quitRequested()) return true;
    showPositionInTitle();
    titleUntil = steady_clock::now() + seconds(3);
    if (!outcome.arrived) std::fprintf(stderr, "tuvero: the music ended before the jump arrived\n");
    const double seconds = duration<double>(steady_clock::now() - wallStarted).count();
    const double cpu = static_cast<double>(std::clock() - cpuStarted) / CLOCKS_PER_SEC;
    std::printf("at %.3f s of the show (entry %d, music at %.3f s); the jump took %.3f s, "
                "%.3f s of processor time\n",
                showMsAt(outcome.nextTick) / 1000.0, currentScene, platform::musicPositionSeconds(),
                seconds, cpu);
    std::fflush(stdout);
    return true;
}

void afterMainLoopFrame() {
    if (currentScene != entrySeen) {
        entrySeen = currentScene;
        entryStartTick = platform::tickCount(); // the next frame is the entry's first
    }
    if (titleShown && !paused && std::chrono::steady_clock::now() >= titleUntil) restoreTitle();
    if (startJump.kind != JumpTarget::Kind::None && loaded() && showStarted()) {
        const JumpTarget jump = startJump;
        startJump = {};
        const bool there = jump.kind == JumpTarget::Kind::Frame && jump.frame <= frameNumber();
        if (!there) beginJump(jump);
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
    if (pause)
        showPositionInTitle();
    else
        restoreTitle();
    showObserver().pauseChanged(pause, music);
}

bool holdingPicture() {
    if (!paused) return false;
    if (!frameWhilePaused) return true;
    frameWhilePaused = false;
    return false;
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

namespace {

// Page Up: the start of this entry when it has played a while, else of the one before.
JumpTarget previousEntryTarget() {
    const bool wellInto = showMsAt(platform::tickCount()) - showMsAt(entryStartTick) > 2000;
    const int entry = wellInto || currentScene <= 1 ? currentScene : currentScene - 1;
    return {JumpTarget::Kind::Entry, 0, entry};
}

// A jump while paused stays paused: the music waits at the new moment, whose picture the loop
// draws once and then holds, and the title says where the show now stands.
void jumpFromKey(const JumpTarget& target) {
    if (!paused) {
        beginJump(target);
        return;
    }
    platform::pauseClock(false); // the jump sets the clock itself
    const bool jumped = beginJump(target);
    platform::pauseClock(true);
    if (!jumped) return;
    frameWhilePaused = true;
    showPositionInTitle();
}

} // namespace

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
            if (loaded() && currentScene + 1 < sceneCount)
                jumpFromKey({JumpTarget::Kind::Entry, 0, currentScene + 1});
            break;
        case platform::ControlKey::PreviousEntry:
            if (loaded()) jumpFromKey(previousEntryTarget());
            break;
        case platform::ControlKey::BackFive: {
            const std::uint32_t now = showMsAt(platform::tickCount());
            if (loaded()) jumpFromKey({JumpTarget::Kind::ShowTime, now > 5000 ? now - 5000 : 0, 0});
            break;
        }
        case platform::ControlKey::ForwardFive:
            if (loaded())
                jumpFromKey(
                    {JumpTarget::Kind::ShowTime, showMsAt(platform::tickCount()) + 5000, 0});
            break;
        case platform::ControlKey::Restart:
            if (loaded()) jumpFromKey({JumpTarget::Kind::Entry, 0, 1});
            break;
        }
    }
}
