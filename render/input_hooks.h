// Actions of the camera keys that belong to a scene rather than to the camera.
#pragma once

// The G key, once per frame while held: steps the cube grid's choreography by one phase.
// Defined by the cube grid scene; a weak empty definition stands in when it is not linked.
void cubeGridStepPhase();
