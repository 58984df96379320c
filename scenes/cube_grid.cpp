#include "scenes/scenes.h"
#include "scenes/temporary_scene.h"

const Scene cubeGridScene{temporaryLoad, temporaryFrame, noOperation, nullptr};
