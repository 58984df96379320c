// The interlude cube between the scenes. Its 256 x 256 texture slots receive the live pictures
// of the tunnel (slot 0) and the pillar hall (slot 2).
#pragma once

#include "assets/texture.h"

extern Texture interludeTextures[6];
