// The show as a table of 13 scenes played in index order, and the main loop that drives it.
#pragma once

#include "scenes/scene_kind.h"

constexpr int sceneCount = 13;

extern Scene sceneTable[sceneCount];
extern int currentScene;
extern int registeredCount;

// Moves to the next entry; after the last one it ends the main loop instead.
void advanceScene();
// The scene kind of entry `index` (0 to 12) in the show's order.
const Scene& sceneOfEntry(int index);
// Entry 0's load: fills one entry per call; returns 1 after filling the last.
int registerScenes();
// Forwards a music sync to the current entry (nothing when the slot is empty or out of range).
void dispatchMusicSync(int userValue);
// Runs until the user quits (or --frames runs out); then releaseAll. Returns the exit code 0.
int mainLoop();
// True once advanceScene passed the last entry or a quit was requested.
bool quitRequested();
void requestQuit();

// The current entry stands still until a music cue arrives.
bool showWaitsForMusic();

// Frames run so far: the main loop's and those a jump replayed.
long frameNumber();
// Each frame, the loop's and each a jump replays, starts and ends with these: the observer hears
// of it, and the frame counter moves on at its end.
void beginFrame();
void endFrame();

// Clears the table and counters (tests).
void resetSceneTable();
