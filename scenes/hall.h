// Scene 5: a walk around a square path in a low hall of pillars over a mirrored floor, with
// three tumbling flames at the centre, in black fog. The interlude shows it live on a face of its
// cube too.
#pragma once

#include "assets/texture.h"
#include "render/camera.h"
#include "scenes/scene_kind.h"
#include <cstdint>

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
    Camera view;                // the camera as the last step left it
};

extern HallState hall;
// 0 ceiling, 1 flame mask, 2 flame light, 3 floor, 4 pillars.
extern Texture hallTextures[5];

int hallLoad();
// As the current scene (View::Frame) it hands over after 30 s; as a live face it only moves on.
void hallAdvance(View view);
// The whole frame, fade included, or the live face's 256 x 256 area at the bottom left.
void hallDraw(View view);
void hallFrame(); // advance and draw as the current scene
void hallUnload();
// One step of the square path by dt milliseconds. A step that reaches a corner stops there and
// sets the next side going; the rest of the step is lost.
void hallWalk(float dt);

void resetHall(); // back to the start values; textures are left alone (tests)
