#include "tools/image_noise.h"

#include <cmath>

std::uint32_t hash3(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= std::uint32_t(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= std::uint32_t(y) * 0xC2B2AE35u;
    h = (h ^ (h >> 13)) * 0x297A2D39u;
    return h ^ (h >> 16);
}

float hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return float(hash3(x, y, seed) >> 8) / 16777216.0f;
}

namespace {

int wrap(int v, int period) {
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}

} // namespace

float valueNoise(float x, float y, std::uint32_t seed, int period) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    // Quintic easing: continuous second derivative, so no creases along the lattice lines.
    tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    float a = hashUnit(x0, y0, seed), b = hashUnit(x1, y0, seed);
    float c = hashUnit(x0, y1, seed), d = hashUnit(x1, y1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fractalNoise(float x, float y, std::uint32_t seed, int octaves, int period) {
    float sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += valueNoise(x, y, seed + 101u * std::uint32_t(o), period) * amplitude;
        total += amplitude;
        amplitude *= 0.5f;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / total;
}

float cellNoise(float x, float y, std::uint32_t seed, int period) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    float best = 10;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = ix + dx, cy = iy + dy;
            int hx = wrap(cx, period), hy = wrap(cy, period);
            float px = cx + hashUnit(hx, hy, seed), py = cy + hashUnit(hx, hy, seed + 7u);
            float d = std::hypot(px - x, py - y);
            if (d < best) best = d;
        }
    }
    return best;
}
