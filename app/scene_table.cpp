// The scene table, its registration order, the main loop and the dispatch of music syncs.
#include "app/scene_table.h"

#include "app/loading_screen.h"
#include "app/music.h"
#include "app/play_settings.h"
#include "app/playback.h"
#include "app/release.h"
#include "app/show_observer.h"
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
long framesRun = 0;
} // namespace

long frameNumber() { return framesRun; }

void beginFrame() { showObserver().frameStarting(); }

void endFrame() { ++framesRun; }

bool quitRequested() { return quitPosted; }
void requestQuit() { quitPosted = true; }

void resetSceneTable() {
    for (Scene& scene : sceneTable)
        scene = Scene{};
    currentScene = 0;
    registeredCount = 0;
    quitPosted = false;
    framesRun = 0;
    setSceneEndAction(advanceScene);
}

void advanceScene() {
    ++currentScene;
    // Past the last entry there is no scene to start: the show ends instead.
    if (currentScene == sceneCount) requestQuit();
}

namespace {
const Scene loadingScreen{
    registerScenes,   loadingScreenFrame,      nullptr, loadingScreenUnload, nullptr, nullptr,
    "loading screen", SceneKind::LoadingScreen};
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
    if (index == 0) {
        setSceneEndAction(advanceScene);
        prepareLoadingScreen();
    }
    if (sceneTable[index].kind == SceneKind::CubeGrid)
        setPhaseStepAction(cubeGridStepPhase); // the G key
    return index == sceneCount - 1 ? 1 : 0;
}

void dispatchMusicSync(int userValue) {
    if (currentScene < 0 || currentScene >= sceneCount) return;
    showObserver().syncDelivered(userValue);
    if (sceneTable[currentScene].onMusicSync) sceneTable[currentScene].onMusicSync(userValue);
}

bool showWaitsForMusic() {
    return currentScene >= 0 && currentScene < sceneCount &&
           sceneWaitsForMusic(sceneTable[currentScene]);
}

int mainLoop() {
    const long frameLimit = playSettings().frames;
    for (;;) {
        if (platform::pumpEvents()) requestQuit();
        handleControlKeys();
        if (quitRequested()) break;
        followFrameSize(); // the picture may have been remade at a new size
        if (holdingPicture()) {
            showHeldPicture();
            continue;
        }
        deliverMusicSyncs();
        beginFrame();
        processInput();
        if (sceneTable[currentScene].frame) sceneTable[currentScene].frame();
        platform::presentFrame();
        endFrame();
        // Frames played by a jump are not shown: they do not count.
        if (frameLimit >= 0 && !jumpInProgress() && frameNumber() - jumpFrames() >= frameLimit)
            requestQuit();
        if (!showObserver().frameEnded()) requestQuit();
        if (platform::virtualClockActive()) platform::advanceVirtualClock();
        afterMainLoopFrame();
    }
    releaseAll();
    return 0;
}
