// A fingerprint of the music as the show mixes it: the module's first seconds, mixed in
// lock-step on the virtual clock as in a capture, as 16-bit samples hashed with FNV-1a. Two
// builds (the desktop's and the browser's) play the music alike when their fingerprints match.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// FNV-1a (64 bits) over the samples, each rounded to 16 bits and taken low byte first.
std::uint64_t hashPcm16(const std::vector<float>& samples);

// Mixes the first `seconds` of the module at `path` and prints "music hash: S s, N frames,
// HEX". Returns 0, or 1 with a message on stderr when the module cannot be loaded.
int printMusicHash(const std::string& path, double seconds);
