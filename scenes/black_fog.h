// The black exponential fog of the tunnel and the pillar hall, by the distance from the eye
// plane: a large quad crossing that plane (the hall's floor) fogs smoothly as the eye walks.
#pragma once

// Turns the fog on; the caller turns it off with disableFog after its drawing.
void enableBlackFog();
void disableFog();
