#include "scenes/scenes.h"
#include "scenes/temporary_scene.h"

const Scene starMorphScene{temporaryLoad, temporaryFrame, noOperation, nullptr};
#include "scenes/star_morph.h"
Texture morphTextures[2] = {};
