#include "render/camera.h"
#include "render/overlays.h"
#include "scenes/cube_grid.h"
#include "scenes/greetings.h"
#include "scenes/hall.h"
#include "scenes/interlude.h"
#include "scenes/scenes.h"
#include "scenes/show_random.h"
#include "scenes/star_morph.h"
#include "scenes/swarm.h"
#include "scenes/tunnel.h"

// Stage 8: the sixth interlude's cube has blown apart and only its background remains.
bool showHolding() { return interlude.stage >= 8; }

// The cube grid's phase 3 waits for the value-0 cue, phases 6 and 7 for value-1 cues.
bool sceneWaitsForMusic(const Scene& current) {
    return current.kind == SceneKind::CubeGrid &&
           (cubeGrid.phase == 3 || cubeGrid.phase == 6 || cubeGrid.phase == 7);
}

void resetSceneStates() {
    resetCubeGrid();
    resetInterlude();
    resetTunnel();
    resetHall();
    resetMorph();
    resetSwarm();
    resetGreetings();
    const bool gentle = gentleEffects(); // a choice of the run, not a scene's state
    resetOverlays();
    setGentleEffects(gentle);
    camera = Camera{};
    seedShowRandom(1); // the greetings' particles draw the same numbers as in a run from the start
}

unsigned carriedPictures(const Scene& scene) {
    if (scene.kind != SceneKind::Interlude) return 0;
    return carriesTrail | (interlude.liveTunnel ? carriesTunnelFace : 0u) |
           (interlude.liveHall ? carriesHallFace : 0u);
}
