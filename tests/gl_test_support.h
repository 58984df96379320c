// Shared fixture code for tests that draw: one hidden 640 x 480 GL context per test process,
// with the show's projection, on the virtual tick counter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Opens the context on first use and puts the tick counter on a virtual clock standing at
// `tick`. Returns false when no context could be opened (no display).
bool ensureGlContext(std::uint32_t tick = 100000);

struct ShowOptions;
// An in-process run of the show: a hidden window, no music, 16 ms steps on the virtual clock,
// the build's data folder, ending after `frames` frames.
ShowOptions hiddenRun(long frames);
// parseOptions on `words` after the program's name: its exit code (0 = go on).
int parseWords(std::vector<std::string> words, ShowOptions& options);

struct Rgb {
    int r = 0, g = 0, b = 0;
};
// A pixel of the offscreen picture, y counted from the top (as on screen).
Rgb pixelAt(int x, int y);
// The whole offscreen picture, top row first, RGB.
std::vector<std::uint8_t> offscreenPicture();
