// Floating-point pictures for the generator: an RGB canvas and a one-channel coverage mask,
// both row-major with the top row first. Values are nominally 0..1; they are clamped only when
// a picture is written out.
#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(float s, Rgb a) { return a * s; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb& operator+=(Rgb& a, Rgb b) { return a = a + b; }

// 0xRRGGBB to a colour.
inline Rgb hex(std::uint32_t rgb) {
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
}
inline Rgb mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
inline float mixf(float a, float b, float t) { return a + (b - a) * t; }
// NaN maps to 0, so a stray NaN becomes black instead of undefined byte values.
inline float clamp01(float v) { return v > 0 ? (v < 1 ? v : 1) : 0; }
inline float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline float luminance(Rgb c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

// A width x height grid of T; at() does no bounds checks, sample() clamps or wraps.
template <class T> struct Grid {
    int width = 0;
    int height = 0;
    std::vector<T> data;

    Grid() = default;
    Grid(int w, int h, T fill = T{}) : width(w), height(h), data(std::size_t(w) * h, fill) {}
    T& at(int x, int y) { return data[std::size_t(y) * width + x]; }
    const T& at(int x, int y) const { return data[std::size_t(y) * width + x]; }
    const T& clamped(int x, int y) const {
        x = x < 0 ? 0 : (x >= width ? width - 1 : x);
        y = y < 0 ? 0 : (y >= height ? height - 1 : y);
        return at(x, y);
    }
    const T& wrapped(int x, int y) const {
        x %= width;
        y %= height;
        return at(x < 0 ? x + width : x, y < 0 ? y + height : y);
    }
};

using Image = Grid<Rgb>;
using Mask = Grid<float>;

#include <stdexcept>

// Thrown by drawing code that cannot go on (a missing font); the generator reports it.
struct PictureError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
