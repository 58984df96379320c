#include "scenes/interlude.h"
#include "scenes/scenes.h"
#include "scenes/temporary_scene.h"

Texture interludeTextures[6] = {};

const Scene interludeScene{temporaryLoad, temporaryFrame, noOperation, nullptr};
