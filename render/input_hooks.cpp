// Empty stand-in for the G key's action, replaced at link time by the cube grid scene's own.
#include "render/input_hooks.h"

__attribute__((weak)) void cubeGridStepPhase() {}
