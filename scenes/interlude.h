// The interlude cube between the scenes (entries 2, 4, 6, 8, 10 and 12). Its 256 x 256 texture
// slots receive the live pictures of the tunnel (slot 0) and the pillar hall (slot 2).
#pragma once

#include "assets/texture.h"
#include <cstdint>

// 0: live tunnel, 1: "texture.jpg" (loaded, not drawn), 2: live hall, 3: "kuutio.jpg"
// (background); 4 and 5 stay 0.
extern Texture interludeTextures[6];
// The whole screen as the last interlude frame left it, 640 x 480 units: the trail.
extern Texture interludeTrailTexture;

// One set of state serves all six occurrences; it lives for the whole run.
struct InterludeState {
    int loadStep = 0;
    // 0 before the first frame, 1 to 6 the occurrence playing, 7 exploding, 8 finished.
    std::uint32_t stage = 0;
    bool ticking = false; // set by the first interlude frame ever
    // The next frame starts an occurrence (2 to 6). A flag rather than a tick of 0, since 0 is
    // also a tick the counter can show.
    bool occurrenceStarting = true;
    std::uint32_t tick = 0;   // tick of the previous interlude frame
    float zoomSpeed = 0.015f; // units per ms; > 0 the camera moves away from the cube
    float explodeDistance = 0;
    float cubeAngleX = 0, cubeAngleY = 0, cubeAngleZ = 0; // degrees
    // What the last step leaves to draw: the live faces it moved on, and whether it was the
    // first frame ever (no trail yet).
    bool liveTunnel = false, liveHall = false;
    bool firstFrame = false;
};

extern InterludeState interlude;

constexpr float interludeNearZ = 5.63f;
constexpr float interludeFarZ = 25.63f;
constexpr float interludeExplodeSpeed = 0.035f; // units per ms
constexpr float interludeExplodeEnd = 30;

// Back to the state before loading (tests). Does not touch the textures.
void resetInterlude();
