#include "scenes/scenes.h"
#include "scenes/temporary_scene.h"

const Scene tunnelScene{temporaryLoad, temporaryFrame, noOperation, nullptr};
