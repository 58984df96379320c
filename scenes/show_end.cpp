#include "app/scene_table.h"
#include "scenes/cube_grid.h"
#include "scenes/interlude.h"
#include "scenes/scenes.h"

// Stage 8: the sixth interlude's cube has blown apart and only its background remains.
bool showHolding() { return interlude.stage >= 8; }

// The cube grid's phase 3 waits for the value-0 cue, phases 6 and 7 for value-1 cues.
bool showWaitsForMusic() {
    return currentScene == 1 && (cubeGrid.phase == 3 || cubeGrid.phase == 6 || cubeGrid.phase == 7);
}
