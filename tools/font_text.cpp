#include "tools/font_text.h"

#include "tools/picture_scale.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

#ifndef TUVERO_FONT_DIR
#define TUVERO_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

struct Font::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

Font::Font(const std::string& fileName) : impl_(new Impl) {
    std::string path = std::string(TUVERO_FONT_DIR) + "/" + fileName;
    if (FT_Init_FreeType(&impl_->library) != 0) {
        delete impl_;
        throw PictureError("cannot start FreeType");
    }
    if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0) {
        FT_Done_FreeType(impl_->library);
        delete impl_;
        throw PictureError("cannot open font " + path);
    }
}

Font::~Font() {
    FT_Done_Face(impl_->face);
    FT_Done_FreeType(impl_->library);
    delete impl_;
}

// Renders every glyph of `text`, the pen starting at `pen`, at its fractional position and calls
// visit(bitmap, left, top) with the glyph's 8-bit coverage and its top-left pixel.
template <class Visit>
void Font::layout(const std::string& text, const TextStyle& style, double pen, Visit visit) const {
    FT_Face face = impl_->face;
    FT_Set_Char_Size(face, FT_F26Dot6(std::lround(style.size * style.stretch * 64)),
                     FT_F26Dot6(std::lround(style.size * 64)), 72, 72);
    FT_UInt previous = 0;
    for (unsigned char c : text) {
        FT_UInt index = FT_Get_Char_Index(face, c);
        if (previous != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            if (FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern) == 0)
                pen += kern.x / 64.0;
        }
        double whole = std::floor(pen);
        FT_Vector delta{FT_Pos(std::lround((pen - whole) * 64)), 0};
        FT_Set_Transform(face, nullptr, &delta);
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) == 0) {
            FT_GlyphSlot slot = face->glyph;
            visit(slot->bitmap, int(whole) + slot->bitmap_left, -slot->bitmap_top);
            pen += slot->linearHoriAdvance / 65536.0 + style.tracking;
        }
        previous = index;
    }
    FT_Set_Transform(face, nullptr, nullptr);
}

namespace {

TextStyle inPixels(TextStyle style, float k) {
    style.size *= k;
    style.tracking *= k;
    return style;
}

} // namespace

TextBounds Font::measure(const std::string& text, const TextStyle& style) const {
    const float k = float(pictureScale());
    TextBounds b = measurePixels(text, inPixels(style, k));
    return {b.left / k, b.top / k, b.right / k, b.bottom / k};
}

void Font::draw(Mask& mask, const std::string& text, float x, float baseline,
                const TextStyle& style) const {
    const float k = float(pictureScale());
    drawPixels(mask, text, x * k, baseline * k, inPixels(style, k));
}

TextBounds Font::measurePixels(const std::string& text, const TextStyle& style) const {
    TextBounds b{1e9f, 1e9f, -1e9f, -1e9f};
    layout(text, style, 0.0, [&](const FT_Bitmap& bm, int left, int top) {
        for (unsigned y = 0; y < bm.rows; ++y) {
            for (unsigned x = 0; x < bm.width; ++x) {
                if (bm.buffer[y * bm.pitch + x] == 0) continue;
                b.left = std::min(b.left, float(left + int(x)));
                b.right = std::max(b.right, float(left + int(x) + 1));
                b.top = std::min(b.top, float(top + int(y)));
                b.bottom = std::max(b.bottom, float(top + int(y) + 1));
            }
        }
    });
    if (b.left > b.right) return {};
    return b;
}

void Font::drawPixels(Mask& mask, const std::string& text, float x, float baseline,
                      const TextStyle& style) const {
    // Glyph bitmaps land on whole pixels; the fraction of x starts the pen off the grid.
    int ox = int(std::floor(x)), oy = int(std::lround(baseline));
    layout(text, style, x - ox, [&](const FT_Bitmap& bm, int left, int top) {
        for (unsigned y = 0; y < bm.rows; ++y) {
            int my = oy + top + int(y);
            if (my < 0 || my >= mask.height) continue;
            for (unsigned x2 = 0; x2 < bm.width; ++x2) {
                int mx = ox + left + int(x2);
                if (mx < 0 || mx >= mask.width) continue;
                float c = bm.buffer[y * bm.pitch + x2] / 255.0f;
                float& m = mask.at(mx, my);
                m = m + c - m * c; // union of overlapping glyphs
            }
        }
    });
}

TextStyle Font::drawFitted(Mask& mask, const std::string& text, float x, float y, float w, float h,
                           TextStyle style) const {
    // Fitted in real pixels, where the ink box is measured.
    const float k = float(pictureScale());
    style = inPixels(style, k);
    x *= k;
    y *= k;
    w *= k;
    h *= k;
    TextBounds b = measurePixels(text, style);
    if (b.width() <= 0 || b.height() <= 0) return inPixels(style, 1 / k);
    float scale = std::min(w / b.width(), h / b.height());
    style.size *= scale;
    style.tracking *= scale;
    b = measurePixels(text, style);
    float px = x + (w - b.width()) * 0.5f - b.left;
    float baseline = y + (h - b.height()) * 0.5f - b.top;
    drawPixels(mask, text, px, baseline, style);
    return inPixels(style, 1 / k);
}
