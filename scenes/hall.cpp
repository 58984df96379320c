#include "scenes/scenes.h"
#include "scenes/temporary_scene.h"

const Scene hallScene{temporaryLoad, temporaryFrame, noOperation, nullptr};
