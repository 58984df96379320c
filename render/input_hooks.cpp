#include "render/input_hooks.h"

namespace {
KeyAction phaseStepAction = nullptr;
}

void setPhaseStepAction(KeyAction action) { phaseStepAction = action; }

void runPhaseStepAction() {
    if (phaseStepAction) phaseStepAction();
}
