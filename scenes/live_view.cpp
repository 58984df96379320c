#include "scenes/live_view.h"

#include "app/app_state.h"
#include "app/scene_table.h"
#include "platform/platform.h"
#include "render/frame_size.h"
#include <GL/gl.h>

std::uint32_t beginLiveViewFrame(const LiveViewClock& clock, int sceneIndex, std::uint32_t runMs) {
    const std::uint32_t now = platform::tickCount();
    if (!clock.tickSet) {
        clock.tick = now;
        clock.tickSet = true;
    }
    if (currentScene == sceneIndex) {
        if (clock.runStart == 0) clock.runStart = now;
        if (now - clock.runStart >= runMs) advanceScene(); // this frame is still drawn
        setFrameViewport(static_cast<int>(appState.screenWidth),
                         static_cast<int>(appState.screenHeight));
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else {
        // The interlude's live face; the projection stays 4:3. Only the pixels that go into the
        // texture are cleared: the interlude clears the whole frame after us anyway.
        // The scissor state is put back as it was: a jump draws everything through a 1 x 1 one.
        setFrameViewport(256, 256);
        glPushAttrib(GL_SCISSOR_BIT);
        if (!glIsEnabled(GL_SCISSOR_TEST)) {
            glScissor(0, 0, framePixels(256), framePixels(256));
            glEnable(GL_SCISSOR_TEST);
        }
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPopAttrib();
    }
    glLoadIdentity();
    return now;
}
