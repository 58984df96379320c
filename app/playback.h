// Steering the running show: pause, the full-screen switch, numbered screenshots, and jumps
// ahead that play the frames in between on the virtual clock.
#pragma once

#include "app/jump.h"

#include <cstdint>
#include <string>

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
// True while the main loop only shows the held picture again (window changes, exposure): while
// paused, except for the one frame that draws the moment a jump while paused arrived at.
bool holdingPicture();
void showHeldPicture();

// Jumps to the target at once (see replayShowTo), then goes on from there as before: the music
// from the exact sample, the clock from the target's tick. Only once loading is done; false
// otherwise.
bool beginJump(const JumpTarget& target);
bool jumpInProgress();
// Frames the main loop ran for jumps (they do not count towards --frames).
long jumpFrames();

// Writes the picture on the screen as the first free tuvero-NNNN.png in the working directory
// and prints its name. Returns the name, or "" after printing why it failed.
std::string writeNumberedScreenshot();
