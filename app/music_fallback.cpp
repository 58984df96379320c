// Silent stand-ins, replaced by the real music code when it is linked in.
#include "app/music.h"

__attribute__((weak)) int startMusic() {
    return 1;
}
__attribute__((weak)) void playMusic() {}
__attribute__((weak)) void deliverMusicSyncs() {}
__attribute__((weak)) void freeMusic() {}
