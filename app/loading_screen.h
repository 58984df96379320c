// Scene 0: loads every entry one unit per frame over the loading picture, then hands over.
#pragma once

#include "assets/texture.h"

extern Texture loadingTexture;
extern Texture screenCopyTexture; // 512 x 512 screen units, shared by the interlude and drawScreenCopy
extern int loadIndex;

void prepareLoadingScreen();
void loadingScreenFrame();
void loadingScreenUnload();
