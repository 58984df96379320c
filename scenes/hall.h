// Scene 5: a walk around a square path in a low hall of pillars over a mirrored floor, with
// three tumbling flames at the centre, in black fog. Called from the interlude too: then it
// renders into the interlude's 256 x 256 texture slot 2 instead of presenting.
#pragma once

#include "assets/texture.h"
#include <cstdint>

constexpr int hallSceneIndex = 5;
constexpr std::uint32_t hallRunMs = 30000;
constexpr float hallCorner = 3.5f;      // the path's corners are at (+-3.5, +-3.5) in x and z
constexpr float hallPathSpeed = 0.002f; // units per ms

struct HallState {
    int loadStep = 0;
    float eyeX = 0; // the eye walks the square at height 0.5, looking at the centre
    float eyeZ = 3.5f;
    float flameAngle = 0;       // degrees; grows 0.08 per ms
    std::uint32_t tick = 0;     // tick of the previous frame
    bool tickSet = false;       // first-call guard of `tick`
    std::uint32_t runStart = 0; // first frame as the current scene; 0 = not yet
};

extern HallState hall;
// 0 ceiling, 1 flame mask, 2 flame light, 3 floor, 4 pillars.
extern Texture hallTextures[5];

int hallLoad();
// As the current scene: draws on the whole screen, presents, and hands over after 30 s.
// Otherwise: draws into 256 x 256 pixels and copies them into interludeTextures[2].
void hallFrame();
void hallUnload();
// One step of the square path by dt milliseconds. A step that reaches a corner stops there and
// sets the next side going; the rest of the step is lost.
void hallWalk(float dt);

void resetHall(); // back to the start values; textures are left alone (tests)
