#include "offline/trace.h"

#include "app/console.h"
#include "app/scene_table.h"
#include "platform/platform.h"
#include <cstdio>

std::uint32_t Trace::sinceFirstFrame() const {
    return started_ ? platform::tickCount() - firstFrameTick_ : 0;
}

void Trace::frameStarting() {
    if (!started_) {
        started_ = true;
        firstFrameTick_ = platform::tickCount();
    }
    if (currentScene == tracedScene_) return;
    tracedScene_ = currentScene;
    endProgressLine();
    std::printf("scene %d frame %ld time %u\n", currentScene, frameNumber(),
                static_cast<unsigned>(sinceFirstFrame()));
}

void Trace::syncDelivered(int userValue) {
    endProgressLine(); // a trace line never runs on after an offline run's progress line
    std::printf("sync %d frame %ld time %u\n", userValue, frameNumber(),
                static_cast<unsigned>(sinceFirstFrame()));
}

void Trace::pauseChanged(bool paused, double musicSeconds) {
    std::printf("%s tick %u music %.6f\n", paused ? "pause" : "resume",
                static_cast<unsigned>(platform::tickCount()), musicSeconds);
}
