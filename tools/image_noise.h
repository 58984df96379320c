// Deterministic value noise: a fixed integer hash instead of a random generator, so every run
// produces the same pictures. A non-zero period makes the noise repeat every `period` lattice
// cells, which keeps tiling textures seamless.
#pragma once

#include <cstdint>

// A well-mixed 32-bit hash of a lattice point and a seed.
std::uint32_t hash3(std::int32_t x, std::int32_t y, std::uint32_t seed);
// Uniform value in [0, 1) from the hash.
float hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Smoothly interpolated lattice noise in [0, 1); `period` 0 means no repetition.
float valueNoise(float x, float y, std::uint32_t seed, int period = 0);
// Sum of `octaves` noise layers, each twice the frequency and half the amplitude of the last,
// normalised to [0, 1). The period doubles with each octave, so the sum repeats like the first.
float fractalNoise(float x, float y, std::uint32_t seed, int octaves, int period = 0);
// Cellular (Worley) noise: distance to the nearest of one jittered point per lattice cell.
float cellNoise(float x, float y, std::uint32_t seed, int period = 0);
