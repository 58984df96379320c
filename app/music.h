// The show's music: "musa.mo3" with its two instrument syncs.
#pragma once

#include <string>

// Loads the module and sets both syncs (value 0: the first note of the once-instrument, 7 unless
// --cue-instruments says otherwise; value 1: every note of the every-instrument, 3). Warns on
// stderr about a cue instrument the module never plays. Returns 1 on success; 0 with one line
// on stderr saying why.
int startMusic();
// The loaded module never plays one of the cue instruments: the first scene will wait.
bool musicCuesMissing();
// Offline runs: the module has ended and every sync it raised was delivered; none will follow.
bool musicCanNoLongerCue();
// What an offline run says when the music ended while the first scene still waits for its cues:
// which cues, `outcome` (what the run does now), and the option that chooses others.
std::string cuesNeverCameMessage(const std::string& outcome);
// Starts playback from the beginning (the hand-over from the loading screen).
void playMusic();
// Main thread, before each frame: delivers every sync heard by now through dispatchMusicSync.
void deliverMusicSyncs();
// Offline capture: deliver each sync on the frame whose time span contains its note, instead
// of the first frame at or after it.
void deliverSyncsByFrameSpan(bool on);
// Frees the module and the output; safe to call more than once.
void freeMusic();
