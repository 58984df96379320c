// The start of a frame of a scene that the interlude also calls, to render the scene live into
// one of its 256 x 256 (screen units) textures when the scene is not the current one.
#pragma once

#include <cstdint>

struct LiveViewClock {
    std::uint32_t& tick;     // tick of the previous frame, set on the first call
    bool& tickSet;           // first-call guard of `tick`
    std::uint32_t& runStart; // first frame as the current scene; 0 = not yet
};

// Sets the clock's first values, hands over once the scene has been current for `runMs` (the
// frame is still drawn), picks the full-screen or the 256 x 256 viewport (the projection stays
// the run's own), clears to black and loads the identity model-view matrix. Returns the tick.
std::uint32_t beginLiveViewFrame(const LiveViewClock& clock, int sceneIndex, std::uint32_t runMs);
