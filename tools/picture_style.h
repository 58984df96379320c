// Shared looks of the generator's pictures: colour ramps, vignettes and dressed-up lettering.
#pragma once

#include "tools/image.h"

#include <initializer_list>
#include <utility>

// Colour at t along stops given as (position, colour), positions ascending.
Rgb ramp(std::initializer_list<std::pair<float, Rgb>> stops, float t);

// Darkens towards the corners: strength 0 keeps the picture, 1 leaves the corners black.
void vignette(Image& image, float strength, float cx = 0.5f, float cy = 0.5f);

// How painted lettering is dressed.
struct LetterLook {
    Rgb top{1, 1, 1}, bottom{1, 1, 1}; // fill gradient over the letters' height
    // Lengths below are in design pixels (see picture_scale.h).
    float fillTop = 0, fillBottom = 0; // rows of the gradient ends (0, 0 = the mask's ink box)
    Rgb outline{0, 0, 0};
    float outlineWidth = 0; // 0 = none
    Rgb shadow{0, 0, 0};
    float shadowOpacity = 0;
    float shadowDx = 0, shadowDy = 0, shadowBlur = 4;
    Rgb glow{0, 0, 0}; // added light around the letters
    float glowRadius = 0;
    float shine = 0; // strength of a bright band across the upper part of the letters
};

// A mask grown by about `width` design pixels (for outlines).
Mask grown(const Mask& mask, float width);

// Paints the letters' coverage onto the picture with the look's shadow, glow, outline and fill.
void paintLetters(Image& image, const Mask& letters, const LetterLook& look);

// Vertical extent of a mask's coverage in real pixel rows (rows with any coverage above 0.5):
// first, last + 1.
std::pair<int, int> inkRows(const Mask& mask);
