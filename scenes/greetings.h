// Scene 11: four greetings pictures in turn behind a field of rising, spinning squares.
#pragma once

#include "assets/texture.h"
#include "assets/vector.h"
#include <cstdint>

// Slots 0 to 3: the four pictures in showing order; slot 4: the particle square.
extern Texture greetingsTextures[5];

constexpr int greetingsParticleCount = 1200;

// Everything the scene keeps between frames; lives for the whole run.
struct GreetingsState {
    int loadStep = 0;
    // Per particle: world x, world z, height (drawn as world y). x exactly 0 marks a free
    // particle, which the next update spawns anew.
    Vec3 particlePos[greetingsParticleCount] = {};
    float particleSpeed[greetingsParticleCount] = {}; // units per ms
    bool particlesReady = false;
    int slide = 0; // background picture shown, 0 to 3
    bool slideStarted = false;
    std::uint32_t slideTick = 0;
    bool started = false;
    std::uint32_t startTick = 0; // the scene ends 20000 ms after it
    bool ticking = false;
    std::uint32_t lastTick = 0;
};

extern GreetingsState greetings;

// Back to the state before loading (tests). Does not touch the textures.
void resetGreetings();
