// Anti-aliased text with FreeType: a font file from the DejaVu folder the build names, set at
// any pixel size with optional horizontal stretch and extra letter spacing. Glyphs are placed at
// fractional pen positions without hinting, so the result does not depend on rounding of sizes.
// Positions, sizes and bounds are in design pixels (see picture_scale.h): at scale K the text is
// set K times larger, with the same shapes.
#pragma once

#include "tools/image.h"

#include <string>

struct TextBounds {
    float left = 0, top = 0, right = 0, bottom = 0; // ink box, pen origin on the baseline
    float width() const { return right - left; }
    float height() const { return bottom - top; }
};

struct TextStyle {
    float size = 32;    // em size in design pixels
    float stretch = 1;  // horizontal scale of the glyphs
    float tracking = 0; // extra design pixels after every letter
};

class Font {
  public:
    // Opens `fileName` in the font folder; throws PictureError when it cannot.
    explicit Font(const std::string& fileName);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Ink bounds of `text` (ASCII) relative to the pen origin.
    TextBounds measure(const std::string& text, const TextStyle& style) const;
    // Adds the text's coverage into `mask` (union), pen origin at (x, baseline).
    void draw(Mask& mask, const std::string& text, float x, float baseline,
              const TextStyle& style) const;
    // Scales the style so the ink fits the box (x, y, w, h) and centres it there; returns the
    // style used. The stretch and tracking are kept in proportion.
    TextStyle drawFitted(Mask& mask, const std::string& text, float x, float y, float w, float h,
                         TextStyle style) const;

  private:
    // The same in real pixels.
    TextBounds measurePixels(const std::string& text, const TextStyle& style) const;
    void drawPixels(Mask& mask, const std::string& text, float x, float baseline,
                    const TextStyle& style) const;
    template <class Visit>
    void layout(const std::string& text, const TextStyle& style, double pen, Visit visit) const;
    struct Impl;
    Impl* impl_;
};
