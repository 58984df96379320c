// Scene 0: one unit of loading per frame over the loading picture, then the hand-over to scene 1
// under a ten-second fade from black while the music starts.
#include "app/loading_screen.h"

#include "app/app_state.h"
#include "app/console.h"
#include "app/jump.h"
#include "app/music.h"
#include "app/release.h"
#include "app/scene_table.h"
#include "assets/load_report.h"
#include "platform/module_player.h"
#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/gfx.h"
#include "render/overlays.h"

Texture loadingTexture = 0;
int loadIndex = 0;

// What the loaders found: a picture that cannot be loaded ends the show (every scene draws
// its pictures), a warning or a model problem is told and the show goes on (the star draws
// what it can).
void actOnLoadReports() {
    for (const LoadReport& report : takeLoadReports()) {
        if (report.kind == LoadReport::Kind::Picture && !report.warning)
            failAndExit(report.text, 1);
        // Every line names its file and says when it is only a warning.
        std::string line = report.text;
        if (line.find(report.file) == std::string::npos) line = report.file + ": " + line;
        if (report.warning && line.rfind("warning: ", 0) != 0) line = "warning: " + line;
        reportToUser(line, report.title);
    }
}

void prepareLoadingScreen() {
    loadJpegTexture(&loadingTexture, "loading.jpg", 0);
    actOnLoadReports();
}

void loadingScreenFrame() {
    if (loadIndex < sceneCount) {
        Scene& entry = sceneTable[loadIndex];
        if (!entry.load || entry.load() == 1) ++loadIndex;
        actOnLoadReports();
    }

    gfx::setDepthTest(true);
    gfx::clear(true, true);

    // The picture's first row (t = 0) at the top of the screen.
    drawBackdrop(loadingTexture);

    if (loadIndex == sceneCount) {
        beginFirstScene();
        playMusic();
        const std::uint32_t start =
            platform::musicPlaying() ? platform::musicStartTick() : platform::tickCount();
        noteShowStart(start, frameNumber());
    }
}

void beginFirstScene() {
    currentScene = 1;
    fadeOverlay(true, 0.0001f, 0, 0, 0);
}

void loadingScreenUnload() { gfx::deleteTexture(loadingTexture); }
