// Tracker module playback on libopenmpt, with instrument syncs delivered on the main thread.
// Syncs: an instrument sync fires on a note-on of its instrument (see module_player.cpp for the
// exact rules), timed by when the note is heard.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

enum class MusicOutput {
    Device,    // SDL audio on the default device; syncs released as the output plays them
    Silent,    // no device: the module advances with the tick counter and delivers its syncs
    LockStep,  // virtual clock: mixed exactly in step with the tick counter
};

struct InstrumentSync {
    int instrument = 0; // 1-based as in the pattern
    bool once = false;  // fire only for the first note of the run
    int userValue = 0;
};

// Loads the module file. Returns false with `error` set (missing, unreadable, no device).
bool musicLoad(const std::string& path, MusicOutput output, std::string& error);
void musicSetSync(const InstrumentSync& sync);
// Starts playback from the beginning; `tick` is the tick counter at that moment.
void musicPlay(std::uint32_t tick);
// Main thread, before each frame: advances silent/lock-step playback to `tick` and calls
// `deliver(userValue)` for every sync whose note has been heard by now, in order.
void musicDeliverSyncs(std::uint32_t tick, const std::function<void(int)>& deliver);
// Stops output and frees everything; safe to call when nothing is loaded.
void musicFree();
bool musicLoaded();

} // namespace platform
