// Lines on stderr beside the progress line of an offline run, which is rewritten in place: a
// message always starts on a line of its own instead of running on after the progress.
#pragma once

#include <string>

// Rewrites the progress line with `text`; the line stays open.
void printProgressLine(const std::string& text);
// Ends an open progress line, so that what follows starts on a fresh line.
void endProgressLine();
// One whole line on stderr, on a line of its own.
void printMessageLine(const std::string& text);
