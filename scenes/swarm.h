// Scene 9: a swarm of translucent spheres flies in, hangs and spins, and flies out.
#pragma once

#include "assets/texture.h"
#include "assets/vector.h"
#include <cstdint>

// Slot 0 "friends.jpg" (background, also a face of the interlude cube), slot 1 "texture6.jpg".
extern Texture swarmTextures[2];

constexpr int swarmSphereCount = 20;

// Everything the scene keeps between frames; lives for the whole run.
struct SwarmState {
    int loadStep = 0;
    int swarmState = 0; // 0 flying in, 1 holding, 2 flying out
    float swarmX = -7;
    float swarmSpin[3] = {0, 0, 0}; // degrees about x, y, z
    Vec3 spherePos[swarmSphereCount] = {
        {-1, -1, 0}, {0, 1, 0},  {1, 0, 0},  {0, 0, 1},  {-1, 0, 1}, {0, 1, -1}, {0, -1, 0},
        {0, 1, 0},   {-1, 0, 0}, {0, -1, 0}, {1, 0, 0},  {1, 0, 0},  {0, -1, 0}, {0, 1, 0},
        {-1, 0, 1},  {0, 1, 0},  {0, 0, 1},  {1, 0, -1}, {0, -1, 0}, {-1, 0, 0}};
    bool started = false;
    std::uint32_t startTick = 0; // the scene's first frame; the hold ends 18000 ms after it
    bool ticking = false;
    std::uint32_t lastTick = 0;
};

extern SwarmState swarm;

// Back to the state before loading (tests). Does not touch the textures.
void resetSwarm();
