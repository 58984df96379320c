#include "scenes/black_fog.h"

#include "render/gfx.h"

void enableBlackFog() {
    gfx::Fog fog;
    fog.mode = gfx::FogMode::Exp2;
    fog.color[3] = 1;
    fog.density = 0.1f;
    fog.start = 4;
    fog.end = 100;
    gfx::setFog(fog);
}

void disableFog() { gfx::setFog({}); }
