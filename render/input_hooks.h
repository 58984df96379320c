// Actions of the camera keys that belong to a scene rather than to the camera.
#pragma once

// The G key, once per frame while held, calls the action registered here (the cube grid steps
// its choreography by one phase). Nothing is called while none is registered.
using KeyAction = void (*)();
void setPhaseStepAction(KeyAction action);
void runPhaseStepAction();
