#include "scenes/scenes.h"
#include "scenes/temporary_scene.h"

const Scene greetingsScene{temporaryLoad, temporaryFrame, noOperation, nullptr};
