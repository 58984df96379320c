// Scene 1: two lattices of translucent cubes fly in, meet, grow, tumble and wave to the music,
// then fly apart; three caption banners slide across the lower part of the screen.
#pragma once

#include "assets/texture.h"
#include "scenes/scene_kind.h"
#include <cstdint>

// Everything the scene changes while it plays. It plays once per run, so nothing resets it
// except resetCubeGrid (tests).
struct CubeGridState {
    int loadStep = 0;             // next texture slot `cubeGridLoad` fills
    int phase = 0;                // choreography phase, 0 to 8
    int gridCount = 1;            // N: cubes along each edge of a lattice
    float cubeSize = 2.0f;        // S: lattice size in world units
    float cubeGap = 0.1f;         // G: extra spacing between neighbouring cubes
    float explode = 4.0f;         // E: distance every face is pushed out along its normal
    float innerX = -4.0f;         // x offset of the inner lattice
    float outerX = 4.0f;          // x offset of the outer lattice
    float tumble[3] = {0, 0, 0};  // degrees about x, y, z
    std::uint32_t phaseTick = 0;  // start of the timed phase; 0 lets phase 4 start its own timer
    std::uint32_t lastTick = 0;   // tick of the previous frame's update
    float bannerX = -500.0f;      // screen x of the banner's centre, pixels
    int bannerIndex = 0;          // 0..2 draw a banner, 3 and above draw nothing
    int bannerWaiting = 0;        // 1 during the pause after a banner has crossed
    std::uint32_t bannerTick = 0; // start of the current pause
    int syncFlips = 0;            // phase 6/7 flips made by value-1 syncs
    bool onceCueKept = false;     // the value-0 cue came before phase 3; phase 3 takes it
    bool phaseTickSet = false;    // first-frame guards of the three ticks
    bool lastTickSet = false;
    bool bannerTickSet = false;
};

extern CubeGridState cubeGrid;
// 0 background, 1 inner faces, 2 outer faces, 3..8 the banners' mask and add pictures in pairs.
// Slot 0 is also a face of the interlude's cube.
extern Texture cubeGridTextures[9];

constexpr int cubeGridLastPhase = 8;

int cubeGridLoad(); // one picture per call; 1 after the last
// Hands over when the lattices have flown apart.
void cubeGridAdvance(View view);
void cubeGridDraw(View view);
void cubeGridFrame();                // advance, then draw
void cubeGridOnMusicSync(int value); // no GL calls: may come from the music's thread
void cubeGridUnload();
// One step of the choreography (the G key and the value-0 sync); stops at phase 8.
void cubeGridStepPhase();

void resetCubeGrid(); // back to the start values; textures are left alone (tests)
