// The show's music: "musa.mo3" with its two instrument syncs.
#pragma once

// Loads the module and sets both syncs (value 0: first note of instrument 7; value 1: every note
// of instrument 3). Returns 1 on success; 0 with one line on stderr saying why.
int startMusic();
// Starts playback from the beginning (the hand-over from the loading screen).
void playMusic();
// Main thread, before each frame: delivers every sync heard by now through dispatchMusicSync.
void deliverMusicSyncs();
// Offline capture: deliver each sync on the frame whose time span contains its note, instead
// of the first frame at or after it.
void deliverSyncsByFrameSpan(bool on);
// Frees the module and the output; safe to call more than once.
void freeMusic();
