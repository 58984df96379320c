// Steering the running show: pause, the full-screen switch, numbered screenshots, and jumps
// ahead that play the frames in between on the virtual clock.
#pragma once

#include <cstdint>
#include <string>

struct JumpTarget {
    enum class Kind { None, ShowTime, Entry } kind = Kind::None;
    std::uint32_t showMs = 0; // ShowTime: milliseconds after the music started (the first scene)
    int entry = 0;            // Entry: the start of this scene entry
};

// A jump made as soon as loading is done (--start-at, --start-at-entry).
void setStartJump(const JumpTarget& target);
// Reads the steering keys that pumpEvents collected and acts on them.
void handleControlKeys();
// After every frame of the main loop: starts the pending start jump once loading is done, and
// ends a jump that has arrived.
void afterMainLoopFrame();

// The picture holds, the music pauses and the tick counter stands still.
void setShowPaused(bool paused);
bool showPaused();
// While paused the main loop only shows the held picture again (window changes, exposure).
void showHeldPicture();

// Plays on at 60 steps per second on the virtual clock with the music in lock-step, drawing
// next to nothing, until the target is reached; then goes on as before from there. Only once
// loading is done and while no jump runs; false otherwise.
bool beginJump(const JumpTarget& target);
bool jumpInProgress();
// Frames the main loop ran for jumps (they do not count towards --frames).
long jumpFrames();

// Writes the picture on the screen as the first free tuvero-NNNN.png in the working directory
// and prints its name. Returns the name, or "" after printing why it failed.
std::string writeNumberedScreenshot();
