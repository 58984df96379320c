#include "scenes/live_view.h"

#include "platform/platform.h"
#include "render/frame_size.h"
#include "render/gfx.h"

std::uint32_t advanceLiveViewClock(const LiveViewClock& clock, View view, std::uint32_t runMs) {
    const std::uint32_t now = platform::tickCount();
    if (!clock.tickSet) {
        clock.tick = now;
        clock.tickSet = true;
    }
    if (view == View::Frame) {
        if (clock.runStart == 0) clock.runStart = now;
        if (now - clock.runStart >= runMs) endCurrentEntry(); // this frame is still drawn
    }
    return now;
}

void beginLiveViewDraw(View view) {
    gfx::setClearColor(0, 0, 0, 1);
    if (view == View::Frame) {
        setFrameViewport(screenUnitsWide, screenUnitsHigh);
        gfx::clear(true, true);
    } else {
        // The projection stays 4:3. Only the pixels that go into the texture are cleared: the
        // interlude clears the whole frame after us anyway. A scissor already on is left as it
        // is: a jump draws everything through a 1 x 1 one.
        setFrameViewport(liveFaceSize, liveFaceSize);
        if (gfx::scissorOn()) {
            gfx::clear(true, true);
        } else {
            gfx::setScissor(true, 0, 0, framePixels(liveFaceSize), framePixels(liveFaceSize));
            gfx::clear(true, true);
            gfx::setScissor(false);
        }
    }
    gfx::loadIdentity();
}
