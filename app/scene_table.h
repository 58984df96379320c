// The show as a table of 13 scenes played in index order, and the main loop that drives it.
#pragma once

#include <functional>

constexpr int sceneCount = 13;

// Four operation slots; an empty slot is nullptr.
struct Scene {
    int (*load)() = nullptr;            // 1 = fully loaded, 0 = call again next frame
    void (*frame)() = nullptr;          // draws and presents one frame
    void (*onMusicSync)(int) = nullptr; // user value of the sync: 0 or 1
    void (*unload)() = nullptr;         // frees the scene's resources at shutdown
};

extern Scene sceneTable[sceneCount];
extern int currentScene;
extern int registeredCount;

void noOperation(int);
// Moves to the next entry; after the last one it ends the main loop instead.
void advanceScene();
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
