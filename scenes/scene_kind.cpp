#include "scenes/scene_kind.h"

namespace {
void (*endAction)() = nullptr;
}

void noOperation(int) {}

void setSceneEndAction(void (*action)()) { endAction = action; }

void endCurrentEntry() {
    if (endAction) endAction();
}
