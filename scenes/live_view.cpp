#include "scenes/live_view.h"

#include "platform/platform.h"
#include "render/frame_size.h"
#include <GL/gl.h>

std::uint32_t advanceLiveViewClock(const LiveViewClock& clock, View view, std::uint32_t runMs) {
    const std::uint32_t now = platform::tickCount();
    if (!clock.tickSet) {
        clock.tick = now;
        clock.tickSet = true;
    }
    if (view == View::Frame) {
        if (clock.runStart == 0) clock.runStart = now;
        if (now - clock.runStart >= runMs) advanceScene(); // this frame is still drawn
    }
    return now;
}

void beginLiveViewDraw(View view) {
    if (view == View::Frame) {
        setFrameViewport(screenUnitsWide, screenUnitsHigh);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else {
        // The projection stays 4:3. Only the pixels that go into the texture are cleared: the
        // interlude clears the whole frame after us anyway. The scissor state is put back as it
        // was: a jump draws everything through a 1 x 1 one.
        setFrameViewport(liveFaceSize, liveFaceSize);
        glPushAttrib(GL_SCISSOR_BIT);
        if (!glIsEnabled(GL_SCISSOR_TEST)) {
            glScissor(0, 0, framePixels(liveFaceSize), framePixels(liveFaceSize));
            glEnable(GL_SCISSOR_TEST);
        }
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPopAttrib();
    }
    glLoadIdentity();
}
