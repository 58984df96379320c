#include "scenes/scenes.h"

bool showHolding() { return false; }
