// Compositing, filtering and resampling of generator pictures. Positions and lengths are in
// design pixels (see picture_scale.h); sizes of grids are real pixels.
#pragma once

#include "tools/image.h"
#include "tools/picture_scale.h"

#include <functional>

// Paints `colour` over `image` where `mask` covers it (mask and image have the same size).
void paint(Image& image, const Mask& mask, Rgb colour, float opacity = 1);
// Paints `source` over `image` where `mask` covers it.
void paint(Image& image, const Mask& mask, const Image& source, float opacity = 1);
// Adds `colour` scaled by the mask's coverage: light, glows.
void addLight(Image& image, const Mask& mask, Rgb colour);
// Multiplies the image by mix(1, colour, coverage): shadows and tints.
void darken(Image& image, const Mask& mask, Rgb colour);

// Fills every pixel with shade(x, y), x and y the pixel centre in design pixels.
void fillWith(Image& image, const std::function<Rgb(float x, float y)>& shade);
void fillWith(Mask& mask, const std::function<float(float x, float y)>& shade);

// Approximate Gaussian blur (three box passes) of the given radius in design pixels; `wrap` treats
// the picture as a tile so a repeating texture stays seamless.
Mask blur(const Mask& mask, float radius, bool wrap = false);
Image blur(const Image& image, float radius, bool wrap = false);

// Element-wise helpers on masks of equal size.
Mask maxOf(const Mask& a, const Mask& b);
Mask minus(const Mask& a, const Mask& b);    // a where b does not cover: a * (1 - b)
Mask scaled(const Mask& mask, float factor); // clamped to 0..1
// Moves the mask by (dx, dy) whole design pixels; uncovered pixels become 0 (or wrap around).
Mask shifted(const Mask& mask, int dx, int dy, bool wrap = false);

// Area-averaging resample to any size in real pixels: every output pixel is the mean of the source
// area it covers, so downscaling anti-aliases and upscaling is piecewise constant.
Image resized(const Image& image, int width, int height);
Mask resized(const Mask& mask, int width, int height);

// Copies `source` into `target` with its top-left corner at real pixel (x, y), clipped.
void blit(Image& target, const Image& source, int x, int y);
