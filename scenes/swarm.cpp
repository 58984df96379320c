#include "scenes/scenes.h"
#include "scenes/temporary_scene.h"

const Scene swarmScene{temporaryLoad, temporaryFrame, noOperation, nullptr};
