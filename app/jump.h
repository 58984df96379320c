// Jumps to any moment of the show, back as well as forward. The show is replayed from the first
// scene's first frame on the virtual clock at 60 steps a second, as a 60 fps capture runs it
// (an offline run: at its own frame rate, so the frames after the jump are its own):
// the scenes advance without drawing and take the music's cues from the notes of a whole run,
// found once; only the last frames whose pictures carry into the target are drawn.
#pragma once

#include <cstdint>

struct JumpTarget {
    enum class Kind { None, ShowTime, Entry, Frame } kind = Kind::None;
    std::uint32_t showMs = 0; // ShowTime: milliseconds after the music started (the first scene)
    int entry = 0;            // Entry: the start of this scene entry
    // Frame: the main loop's frame of this number (from 0, loading included); nothing when the
    // show is already there or past it. Offline runs jump so, and their pictures after the jump
    // are those of a run from the start to the byte (a little more is drawn for it).
    long frame = 0;
};

// The hand-over from the loading screen to the first scene: its tick (the music's start) and
// the frames the main loop ran before that frame.
void noteShowStart(std::uint32_t tick, long framesBefore);
bool showStarted();
// Milliseconds of the show at `tick` (0 at the hand-over).
std::uint32_t showMsAt(std::uint32_t tick);

struct JumpOutcome {
    bool arrived = false; // false: the show ended or stood waiting for a cue before the target
    long steps = 0;       // frames played for the jump
    std::uint32_t nextTick = 0;       // the tick of the first frame after the jump
    long nextFrame = 0;               // and its number, on the grid of the run's frames
    std::uint32_t gridStartTick = 0;  // the tick of frame 0 on that grid
    std::uint32_t entryStartTick = 0; // the tick of the current entry's first frame
};
// Replays the show up to the frame before the target and leaves the clock on the virtual one at
// that frame's tick. The caller moves the music and the clock on from `nextTick`.
JumpOutcome replayShowTo(const JumpTarget& target);
