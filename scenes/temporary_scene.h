// Stand-in for a scene that is not built yet: loads nothing, shows one black frame, moves on.
#pragma once

int temporaryLoad();
void temporaryFrame();
