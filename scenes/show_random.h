// The show's random numbers: the sequence that glibc's rand() gives for a seed, on every system,
// so that a seeded run (capture, snapshots) places the same things on the desktop and in a
// browser, whose C library has a rand() of its own.
#pragma once

void seedShowRandom(unsigned seed);
// The next number, from 0 to 2^31 - 1.
int showRandom();
