// What a scene kind is to the show: its operations, where it plays (View), which kind it is, and
// how it tells the show that its time is up. Scenes know no table and no entry numbers.
#pragma once

// Where a scene plays: as the current entry on the whole frame, or as a 256 x 256 live face of
// the interlude's cube (which copies the picture into a texture of its own).
enum class View { Frame, LiveFace };

// Which scene a table entry plays, for what the show asks of particular kinds (the cube grid
// waits for the music's cues; the interlude's pictures carry over into later frames).
enum class SceneKind {
    None,
    LoadingScreen,
    CubeGrid,
    Interlude,
    Tunnel,
    Hall,
    StarMorph,
    Swarm,
    Greetings
};

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
    SceneKind kind = SceneKind::None;
};

void noOperation(int);

// The show sets this once: what ends the current entry (the next entry plays from the next
// frame on).
void setSceneEndAction(void (*action)());
// A scene playing as the current entry calls this when its time is up; the frame that calls it
// is still finished. Nothing happens while no action is set.
void endCurrentEntry();
