// The show as a table of 13 scenes played in index order, and the main loop that drives it.
#pragma once

#include <functional>

constexpr int sceneCount = 13;

// Where a scene plays: as the current entry on the whole frame, or as a 256 x 256 live face of
// the interlude's cube (which copies the picture into a texture of its own).
enum class View { Frame, LiveFace };

// The operations of a scene kind; an empty slot is nullptr.
struct Scene {
    int (*load)() = nullptr;            // 1 = fully loaded, 0 = call again next frame
    void (*frame)() = nullptr;          // advance, then draw into the frame (the loop presents)
    void (*onMusicSync)(int) = nullptr; // user value of the sync: 0 or 1; no GL
    void (*unload)() = nullptr;         // frees the scene's resources at shutdown
    // One step of time: the clock, phases, camera and the effects of the syncs received. No GL,
    // so a jump can run it alone for every step it passes over.
    void (*advance)(View) = nullptr;
    // GL only: draws the state the last advance left, into the frame or the live face's area.
    void (*draw)(View) = nullptr;
    const char* name = nullptr; // what the window's title calls it
};

extern Scene sceneTable[sceneCount];
extern int currentScene;
extern int registeredCount;

void noOperation(int);
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

// Called after every frame of the main loop; returning false ends the show like Escape.
void setFrameObserver(std::function<bool()> observer);

// Clears the table and counters (tests).
void resetSceneTable();
