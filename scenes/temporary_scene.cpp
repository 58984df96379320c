#include "scenes/temporary_scene.h"

#include "app/scene_table.h"
#include "platform/platform.h"
#include <GL/gl.h>

int temporaryLoad() { return 1; }

void temporaryFrame() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    platform::presentFrame();
    advanceScene();
}
