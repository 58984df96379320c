// The show's music: "musa.mo3" from the data folder, its two instrument syncs, and their
// delivery to the current scene on the main thread.
#include "app/music.h"

#include "app/app_state.h"
#include "app/console.h"
#include "app/play_settings.h"
#include "app/scene_table.h"
#include "assets/data_folder.h"
#include "platform/module_player.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

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

bool cuesMissing = false;

// One line per cue instrument that the module never plays: the first scene waits for its cues.
void warnAboutSilentCues(const std::string& path, int onceInstrument, int everyInstrument) {
    const bool offline = playSettings().offline;
    const std::string outcome = offline ? "this run stops with an error when the music ends"
                                        : "the first scene waits there until you press G";
    const std::string advice = "; --cue-instruments ONCE,EVERY chooses others";
    cuesMissing = !platform::musicPatternsPlayInstrument(onceInstrument) ||
                  !platform::musicPatternsPlayInstrument(everyInstrument);
    if (!platform::musicPatternsPlayInstrument(onceInstrument))
        printMessageLine("warning: " + path + " never plays instrument " +
                         std::to_string(onceInstrument) +
                         ", whose first note moves the first scene on: " + outcome + advice);
    if (!platform::musicPatternsPlayInstrument(everyInstrument))
        printMessageLine("warning: " + path + " never plays instrument " +
                         std::to_string(everyInstrument) +
                         ", whose notes end the first scene: " + outcome + advice);
}

} // namespace

int startMusic() {
    std::string error;
    const std::string path = dataPath("musa.mo3");
    const platform::MusicOutput output = chooseOutput();
    if (!platform::musicLoad(path, output, error)) {
        if (platform::musicDeviceWasUnavailable())
            error += "; to play without music, use --silent (or answer No to the music question)";
        printMessageLine("cannot start the music: " + error);
        appState.music = 0;
        return 0;
    }
    for (const std::string& warning : platform::musicLoadWarnings())
        printMessageLine("warning: " + path + ": " + warning);
    applyLatencySetting();
    const int once = playSettings().cueOnceInstrument;
    const int every = playSettings().cueEveryInstrument;
    platform::musicSetSync({.instrument = once, .once = true, .userValue = 0});
    platform::musicSetSync({.instrument = every, .once = false, .userValue = 1});
    warnAboutSilentCues(path, once, every);
    // A live show may jump: its cues over the whole run are looked for while it loads.
    if (!playSettings().offline) platform::musicStartFindingSyncNotes();
    appState.music = 1;
    return 1;
}

bool musicCuesMissing() { return appState.music && cuesMissing; }

bool musicCanNoLongerCue() { return appState.music && platform::musicFinished(); }

std::string cuesNeverCameMessage(const std::string& outcome) {
    return "the music ended while the first scene still waits for its cues (the first note of "
           "instrument " +
           std::to_string(playSettings().cueOnceInstrument) + ", the notes of instrument " +
           std::to_string(playSettings().cueEveryInstrument) + "); " + outcome +
           ". --cue-instruments ONCE,EVERY chooses others";
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
