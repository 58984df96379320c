// The black exponential fog of the tunnel and the pillar hall.
#pragma once

// Sets the fog parameters and enables GL_FOG; the caller disables it after its drawing.
void enableBlackFog();
