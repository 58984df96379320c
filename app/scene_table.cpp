// The scene table, its registration order, the main loop and the dispatch of music syncs.
#include "app/scene_table.h"

#include "app/app.h"
#include "app/loading_screen.h"
#include "app/music.h"
#include "app/playback.h"
#include "offline/trace.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/frame_size.h"
#include "render/input_hooks.h"
#include "scenes/cube_grid.h"
#include "scenes/scenes.h"

Scene sceneTable[sceneCount];
int currentScene = 0;
int registeredCount = 0;

namespace {
bool quitPosted = false;
std::function<bool()> frameObserver;
} // namespace

void setFrameObserver(std::function<bool()> observer) { frameObserver = std::move(observer); }

void noOperation(int) {}

bool quitRequested() { return quitPosted; }
void requestQuit() { quitPosted = true; }

void resetSceneTable() {
    for (Scene& scene : sceneTable)
        scene = Scene{};
    currentScene = 0;
    registeredCount = 0;
    quitPosted = false;
}

void advanceScene() {
    ++currentScene;
    // Past the last entry there is no scene to start: the show ends instead.
    if (currentScene == sceneCount) requestQuit();
}

namespace {
const Scene loadingScreen{registerScenes, loadingScreenFrame, nullptr, loadingScreenUnload};
const Scene* const entryOrder[sceneCount] = {
    &loadingScreen,  &cubeGridScene,  &interludeScene, &tunnelScene,    &interludeScene,
    &hallScene,      &interludeScene, &starMorphScene, &interludeScene, &swarmScene,
    &interludeScene, &greetingsScene, &interludeScene};
} // namespace

const Scene& sceneOfEntry(int index) { return *entryOrder[index]; }

int registerScenes() {
    if (registeredCount >= sceneCount) return 1;
    int index = registeredCount++;
    sceneTable[index] = *entryOrder[index];
    if (index == 0) prepareLoadingScreen();
    if (index == 1) setPhaseStepAction(cubeGridStepPhase); // the G key
    return index == sceneCount - 1 ? 1 : 0;
}

void dispatchMusicSync(int userValue) {
    if (currentScene < 0 || currentScene >= sceneCount) return;
    traceSync(userValue);
    if (sceneTable[currentScene].onMusicSync) sceneTable[currentScene].onMusicSync(userValue);
}

int mainLoop() {
    const long frameLimit = showOptions().frames;
    for (;;) {
        if (platform::pumpEvents()) requestQuit();
        handleControlKeys();
        if (quitRequested()) break;
        followFrameSize(); // the picture may have been remade at a new size
        if (showPaused()) {
            showHeldPicture();
            continue;
        }
        deliverMusicSyncs();
        traceFrameStart();
        processInput();
        if (sceneTable[currentScene].frame) sceneTable[currentScene].frame();
        platform::presentFrame();
        traceFrameEnd();
        // Frames played by a jump are not shown: they do not count.
        if (frameLimit >= 0 && !jumpInProgress() && frameNumber() - jumpFrames() >= frameLimit)
            requestQuit();
        if (frameObserver && !frameObserver()) requestQuit();
        if (platform::virtualClockActive()) platform::advanceVirtualClock();
        afterMainLoopFrame();
    }
    releaseAll();
    return 0;
}
