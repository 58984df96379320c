#include "app/release.h"

#include "app/app_state.h"
#include "app/console.h"
#include "app/music.h"
#include "app/scene_table.h"
#include "app/show_observer.h"
#include "platform/platform.h"
#include "render/gfx.h"

#include <cstdio>
#include <cstdlib>

void releaseAll() {
    // Scenes delete their GL objects only while the context exists.
    if (appState.window) {
        for (Scene& scene : sceneTable)
            if (scene.unload) scene.unload();
    }
    freeMusic();
    gfx::stop();
    platform::closeWindow();
    appState.window = 0;
}

void failAndExit(const std::string& message, int code) {
    printMessageLine(message);
    std::fflush(stdout);
    showObserver().abandon();
    releaseAll();
    std::exit(code);
}
