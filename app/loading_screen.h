// Scene 0: loads every entry one unit per frame over the loading picture, then hands over.
#pragma once

#include "assets/texture.h"

extern Texture loadingTexture;
extern int loadIndex;

void prepareLoadingScreen();
void loadingScreenFrame();
void loadingScreenUnload();
// The hand-over: the first scene starts under a ten-second fade from black.
void beginFirstScene();
