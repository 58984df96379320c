// The scene kinds of the show, as the operation records the scene table holds.
#pragma once

#include "app/scene_table.h"

extern const Scene cubeGridScene;  // entry 1
extern const Scene interludeScene; // entries 2, 4, 6, 8, 10, 12
extern const Scene tunnelScene;    // entry 3
extern const Scene hallScene;      // entry 5
extern const Scene starMorphScene; // entry 7
extern const Scene swarmScene;     // entry 9
extern const Scene greetingsScene; // entry 11

// True once the last interlude's cube has blown apart and its final picture holds.
bool showHolding();
// The show stands still until a music cue arrives (the first scene's waiting phases).
bool showWaitsForMusic();
// Every scene's state, the shared effects and the camera as they were before the first scene's
// first frame (a jump replays the show from there). Textures and models stay loaded.
void resetSceneStates();

// What the frame of a step of `scene`, just advanced, leaves in later pictures: a jump draws in
// full only the last frames that do. The interlude's trail fades to nothing within 20 frames;
// a live face stays on the cube until it is drawn again.
constexpr unsigned carriesTrail = 1, carriesTunnelFace = 2, carriesHallFace = 4;
constexpr int trailFrames = 20;
unsigned carriedPictures(const Scene& scene);
