// Scene 3: a flight down an endless, wobbling, twisting tube with a double helix along its
// axis, in black fog. Called from the interlude too: then it renders into the interlude's
// 256 x 256 texture slot 0 instead of presenting.
#pragma once

#include "assets/texture.h"
#include <cstdint>

constexpr int tunnelSceneIndex = 3;
constexpr std::uint32_t tunnelRunMs = 30000;

struct TunnelState {
    int loadStep = 0;
    float depth = 0;            // the camera's z; falls 0.0015 units per ms
    float scroll = 0;           // wall texture slide and twist phase; grows 0.001 per ms
    std::uint32_t tick = 0;     // tick of the previous frame
    bool tickSet = false;       // first-call guard of `tick`
    std::uint32_t runStart = 0; // first frame as the current scene; 0 = not yet
};

extern TunnelState tunnel;
// 0 tube wall, 1 helix ribbons, 2 loaded but never drawn.
extern Texture tunnelTextures[3];

int tunnelLoad();
// As the current scene: draws on the whole screen, presents, and hands over after 30 s.
// Otherwise: draws into 256 x 256 pixels and copies them into interludeTextures[0].
void tunnelFrame();
void tunnelOnMusicSync(int value); // value 1: white flash and a sideways shake
void tunnelUnload();

void resetTunnel(); // back to the start values; textures are left alone (tests)
