// The show's music: "musa.mo3" from the data folder, its two instrument syncs, and their
// delivery to the current scene on the main thread.
#include "app/music.h"

#include "app/app_state.h"
#include "app/scene_table.h"
#include "assets/data_folder.h"
#include "platform/module_player.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int onceInstrument = 7;  // its first note cues value 0
constexpr int everyInstrument = 3; // each of its notes cues value 1

// Without music the module still plays, silently, so every sync still arrives; on the
// virtual clock it is mixed in lock-step with the ticks so runs repeat exactly.
platform::MusicOutput chooseOutput() {
    if (platform::virtualClockActive()) return platform::MusicOutput::LockStep;
    return appState.musicEnabled ? platform::MusicOutput::Device : platform::MusicOutput::Silent;
}

// TUVERO_AUDIO_LATENCY_MS overrides the assumed output latency (SDL does not report it).
void applyLatencySetting() {
    const char* value = std::getenv("TUVERO_AUDIO_LATENCY_MS");
    if (!value || !*value) return;
    char* end = nullptr;
    const long ms = std::strtol(value, &end, 10);
    if (*end == '\0' && ms >= 0 && ms <= 2000)
        platform::musicSetOutputLatency(static_cast<int>(ms));
}

} // namespace

int startMusic() {
    std::string error;
    const std::string path = dataPath("musa.mo3");
    if (!platform::musicLoad(path, chooseOutput(), error)) {
        std::fprintf(stderr, "cannot start the music: %s\n", error.c_str());
        appState.music = 0;
        return 0;
    }
    applyLatencySetting();
    platform::musicSetSync({.instrument = onceInstrument, .once = true, .userValue = 0});
    platform::musicSetSync({.instrument = everyInstrument, .once = false, .userValue = 1});
    appState.music = 1;
    return 1;
}

void playMusic() {
    if (appState.music) platform::musicPlay(platform::tickCount());
}

namespace {
bool byFrameSpan = false;
}

void deliverSyncsByFrameSpan(bool on) { byFrameSpan = on; }

void deliverMusicSyncs() {
    if (!appState.music) return;
    if (byFrameSpan && platform::virtualClockActive())
        platform::musicDeliverSyncsBefore(platform::nextVirtualTick(), dispatchMusicSync);
    else
        platform::musicDeliverSyncs(platform::tickCount(), dispatchMusicSync);
}

void freeMusic() {
    platform::musicFree();
    appState.music = 0;
}
