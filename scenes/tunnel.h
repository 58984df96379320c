// Scene 3: a flight down an endless, wobbling, twisting tube with a double helix along its
// axis, in black fog. The interlude shows it live on a face of its cube too.
#pragma once

#include "assets/texture.h"
#include "render/camera.h"
#include "scenes/scene_kind.h"
#include <cstdint>

constexpr std::uint32_t tunnelRunMs = 30000;

struct TunnelState {
    int loadStep = 0;
    float depth = 0;            // the camera's z; falls 0.0015 units per ms
    float scroll = 0;           // wall texture slide and twist phase; grows 0.001 per ms
    std::uint32_t tick = 0;     // tick of the previous frame
    bool tickSet = false;       // first-call guard of `tick`
    std::uint32_t runStart = 0; // first frame as the current scene; 0 = not yet
    Camera view;                // the camera as the last step left it, shake included
};

extern TunnelState tunnel;
// 0 tube wall, 1 helix ribbons, 2 loaded but never drawn.
extern Texture tunnelTextures[3];

int tunnelLoad();
// As the current scene (View::Frame) it hands over after 30 s; as a live face it only moves on.
void tunnelAdvance(View view);
// The whole frame, fade included, or the live face's 256 x 256 area at the bottom left.
void tunnelDraw(View view);
void tunnelFrame();                // advance and draw as the current scene
void tunnelOnMusicSync(int value); // value 1: white flash and a sideways shake
void tunnelUnload();

void resetTunnel(); // back to the start values; textures are left alone (tests)
