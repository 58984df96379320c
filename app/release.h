// The end of the process: releasing what the show holds, and ending on a failure.
#pragma once

#include <string>

// Releases everything in reverse order of creation; safe to call more than once.
void releaseAll();
// Prints "tuvero: `message`" to stderr, lets the run's observer remove what it half-wrote,
// releases everything and ends the process with `code`.
[[noreturn]] void failAndExit(const std::string& message, int code);
