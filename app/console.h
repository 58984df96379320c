// Lines on stderr beside the progress line of an offline run, which is rewritten in place: a
// message always starts on a line of its own instead of running on after the progress.
#pragma once

#include <string>

// Rewrites the progress line with `text`; the line stays open.
void printProgressLine(const std::string& text);
// Ends an open progress line, so that what follows starts on a fresh line.
void endProgressLine();
// One whole line "tuvero: TEXT" on stderr, on a line of its own.
void printMessageLine(const std::string& text);
// Tells the user of a problem that does not end the show: on stderr, and in a message box with
// `title` as well when the show plays live in a window (not offline, not --hidden). Offline runs
// never wait on a box that nobody may see.
void reportToUser(const std::string& text, const std::string& title);
