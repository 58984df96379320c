#include "scenes/interlude.h"
#include "scenes/scenes.h"

// Stage 8: the sixth interlude's cube has blown apart and only its background remains.
bool showHolding() { return interlude.stage >= 8; }
