// The clock and the drawing area of a scene the interlude also shows live, on one of its cube's
// 256 x 256 (screen units) faces, while the scene is not the current entry.
#pragma once

#include "scenes/scene_kind.h"
#include <cstdint>

struct LiveViewClock {
    std::uint32_t& tick;     // tick of the previous step, set on the first call
    bool& tickSet;           // first-call guard of `tick`
    std::uint32_t& runStart; // first step as the current scene; 0 = not yet
};

// No GL. Sets the clock's first values and, as the current entry, hands over once the scene has
// been current for `runMs` (the frame is still drawn). Returns the tick.
std::uint32_t advanceLiveViewClock(const LiveViewClock& clock, View view, std::uint32_t runMs);

// Picks the full-screen or the 256 x 256 viewport (the projection stays the run's own), clears
// it to black and loads the identity model-view matrix.
void beginLiveViewDraw(View view);

// Side of a live face, in screen units.
constexpr int liveFaceSize = 256;
