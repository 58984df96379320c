#include "offline/trace.h"

#include "app/app.h"
#include "app/console.h"
#include "app/scene_table.h"
#include "platform/platform.h"
#include <cstdint>
#include <cstdio>

namespace {
long framesRun = 0;
bool started = false;
std::uint32_t firstFrameTick = 0;
int tracedScene = -1;

std::uint32_t sinceFirstFrame() { return started ? platform::tickCount() - firstFrameTick : 0; }
} // namespace

long frameNumber() { return framesRun; }

void resetTrace() {
    framesRun = 0;
    started = false;
    tracedScene = -1;
}

void traceFrameStart() {
    if (!started) {
        started = true;
        firstFrameTick = platform::tickCount();
    }
    if (currentScene != tracedScene) {
        tracedScene = currentScene;
        if (showOptions().trace) {
            endProgressLine();
            std::printf("scene %d frame %ld time %u\n", currentScene, framesRun,
                        static_cast<unsigned>(sinceFirstFrame()));
        }
    }
}

void traceFrameEnd() { ++framesRun; }

void traceSync(int userValue) {
    if (!showOptions().trace) return;
    endProgressLine(); // a trace line never runs on after an offline run's progress line
    std::printf("sync %d frame %ld time %u\n", userValue, framesRun,
                static_cast<unsigned>(sinceFirstFrame()));
}
