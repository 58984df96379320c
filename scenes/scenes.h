// The scene kinds of the show, as the operation records the scene table holds.
#pragma once

#include "scenes/scene_kind.h"

// The show's order of them is the scene table's alone (app/).
extern const Scene cubeGridScene;
extern const Scene interludeScene; // between every two of the others, and last
extern const Scene tunnelScene;
extern const Scene hallScene;
extern const Scene starMorphScene;
extern const Scene swarmScene;
extern const Scene greetingsScene;

// True once the last interlude's cube has blown apart and its final picture holds.
bool showHolding();
// `current`, playing as the current entry, stands still until a music cue arrives (the cube
// grid's waiting phases).
bool sceneWaitsForMusic(const Scene& current);
// Every scene's state, the shared effects and the camera as they were before the first scene's
// first frame (a jump replays the show from there). Textures and models stay loaded.
void resetSceneStates();

// What the frame of a step of `scene`, just advanced, leaves in later pictures: a jump draws in
// full only the last frames that do. The interlude's trail fades to nothing within 20 frames;
// a live face stays on the cube until it is drawn again.
constexpr unsigned carriesTrail = 1, carriesTunnelFace = 2, carriesHallFace = 4;
constexpr int trailFrames = 20;
unsigned carriedPictures(const Scene& scene);
