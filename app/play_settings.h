// How the show's core plays this run: what start-up took from the command line for it.
#pragma once

#include <cstdint>

struct PlaySettings {
    long frames = -1; // >= 0: end as if Escape was pressed after this many shown frames
    std::uint64_t stepMicroseconds = 0; // > 0: the virtual tick counter, this long a frame
    // The frame grid of an offline run's virtual clock, and the steps a second of a jump: a
    // jump replays the show as a run at this rate plays it.
    std::uint32_t framesPerSecond = 60;
    bool offline = false;      // capture, snapshots, benchmark or flash report: nobody watches live
    bool hidden = false;       // no visible window
    int cueOnceInstrument = 7; // its first note cues the music sync of value 0
    int cueEveryInstrument = 3; // each of its notes cues the sync of value 1
};

// Start-up sets them once, before the window opens.
void setPlaySettings(const PlaySettings& settings);
const PlaySettings& playSettings();
