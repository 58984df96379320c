// Caption banners and the flame: pairs of a mask (multiplied into the frame: white keeps,
// black removes) and a light (added afterwards: black adds nothing). Both files of a pair are
// cut from the same coverage masks, so they line up pixel for pixel, and both keep a clear
// margin (pure white mask, pure black light) so the quad's outline never shows.
#include "tools/picture_art.h"

#include "tools/font_text.h"
#include "tools/image_noise.h"
#include "tools/image_ops.h"
#include "tools/image_shapes.h"
#include "tools/picture_style.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

struct BannerDesign {
    std::vector<std::string> lines;
    int shownW, shownH; // pixels on screen
    int fileW, fileH;   // pixels in the file
    Rgb top, bottom;    // letter colours
    Rgb glow;
    const char* fontFile = "DejaVuSans-Bold.ttf";
    float tracking = 10; // extra letter spacing at the 80-pixel design size
};

// Paints at twice the on-screen size, so the lettering has the shape it will have on screen,
// then resamples to the file's size (both times the picture scale).
std::vector<Image> paintBannerDesign(const BannerDesign& d) {
    const int W = d.shownW * 2, H = d.shownH * 2; // design pixels
    const float margin = H * 0.08f;
    Font font(d.fontFile);
    Mask letters = canvasMask(W, H);
    const int pixelsW = letters.width, pixelsH = letters.height;
    float lineH = (H - 2 * margin - 0.18f * H) / float(d.lines.size());
    float gap = d.lines.size() > 1 ? H * 0.06f : 0;
    for (std::size_t i = 0; i < d.lines.size(); ++i) {
        float y = margin + 0.09f * H + i * lineH + (i > 0 ? gap / 2 : 0);
        font.drawFitted(letters, d.lines[i], margin + 0.05f * W, y, W - 2 * margin - 0.1f * W,
                        lineH - gap / 2, {80, 1, d.tracking});
    }
    // A dark plate behind the letters keeps them readable over any background.
    float plateH = H / 2.0f - margin, plateW = W / 2.0f - margin;
    Mask plate = shapeMask(pixelsW, pixelsH, [=](Point p) {
        return sdBox(p, {W / 2.0f, H / 2.0f}, plateW, plateH, plateH * 0.35f);
    });
    Mask plateEdge = shapeMask(pixelsW, pixelsH, [=](Point p) {
        return std::fabs(sdBox(p, {W / 2.0f, H / 2.0f}, plateW - 5, plateH - 5, plateH * 0.3f)) -
               1.6f;
    });
    Mask outline = grown(letters, H * 0.025f);
    Mask halo = scaled(blur(outline, H * 0.05f), 1.3f);

    Image mask = canvas(W, H, Rgb{1, 1, 1});
    darken(mask, plate, Rgb{0.3f, 0.3f, 0.36f});
    paint(mask, plateEdge, Rgb{});
    paint(mask, outline, Rgb{});

    Image light = canvas(W, H);
    Image plateTint = canvas(W, H);
    fillWith(plateTint, [&](float, float y) { return mix(d.glow * 0.18f, d.glow * 0.05f, y / H); });
    paint(light, plate, plateTint);
    paint(light, plateEdge, mix(d.top, d.glow, 0.5f));
    addLight(light, minus(halo, outline), d.glow * 0.55f);
    paint(light, outline, Rgb{0.02f, 0.02f, 0.03f});
    LetterLook look;
    look.top = d.top;
    look.bottom = d.bottom;
    look.shine = 0.25f;
    paintLetters(light, letters, look);
    const int k = pictureScale();
    return {resized(mask, d.fileW * k, d.fileH * k), resized(light, d.fileW * k, d.fileH * k)};
}

} // namespace

std::vector<Image> paintBanner(int which) {
    BannerDesign design;
    switch (which) {
    case 0:
        design = {{"REALTIME", "POLYGONS"},
                  392,
                  150,
                  512,
                  256,
                  hex(0xfff8c0),
                  hex(0xff8a1a),
                  hex(0xff6a00)};
        break;
    case 1:
        design = {{"SO MANY"}, 400, 100, 512, 128, hex(0xd0ffff), hex(0x20b0ff), hex(0x0080ff)};
        break;
    default:
        // The long caption is set condensed so that it also fills the banner's height.
        design = {{"128 CUBES - COUNT THEM!"},
                  900,
                  100,
                  1024,
                  128,
                  hex(0xffe0ff),
                  hex(0xff3ab0),
                  hex(0xd000a0),
                  "DejaVuSansCondensed-Bold.ttf",
                  3};
        break;
    }
    return paintBannerDesign(design);
}

namespace {

// Heat of one tongue of flame at (x, y), in units of the picture (x across from the centre, y
// down): a teardrop from its base up to its tip, narrowed and bent by noise towards the tip.
float tongueHeat(float x, float y, float centre, float base, float height, float width,
                 std::uint32_t seed) {
    float t = (base - y) / height; // 0 at the base, 1 at the tip
    if (t < -0.2f || t > 1.1f) return 0;
    float bend = (fractalNoise(y * 2.5f, 0.5f, seed, 3) - 0.5f) * 0.5f * std::pow(clamp01(t), 1.3f);
    float w = width * std::sqrt(clamp01((t + 0.2f) / 0.35f)) * std::pow(clamp01(1 - t), 1.1f);
    w *= 1 + 0.45f * (fractalNoise(x * 5, y * 4, seed + 9, 3) - 0.5f) * clamp01(t * 1.5f);
    if (w <= 1e-4f) return 0;
    float across = std::fabs(x - centre - bend) / w;
    return std::pow(clamp01(1 - across * across), 0.8f) * (1 - 0.6f * clamp01(t));
}

} // namespace

std::vector<Image> paintFlame() {
    const int S = 256;
    const float k = float(pictureScale());
    // A main tongue with two smaller ones at its sides; the heat picks the colour (white core,
    // yellow, orange, red edge, a little blue at the root) and its outline makes the mask.
    Mask heat = canvasMask(S, S);
    fillWith(heat, [](float px, float py) {
        float x = (px - 128) / 128, y = (py - 128) / 128;
        float h = tongueHeat(x, y, 0, 0.62f, 1.45f, 0.36f, 201);
        h = std::max(h, 0.85f * tongueHeat(x, y, -0.2f, 0.62f, 0.95f, 0.2f, 202));
        h = std::max(h, 0.85f * tongueHeat(x, y, 0.21f, 0.62f, 1.05f, 0.2f, 203));
        return h;
    });
    heat = blur(heat, 1.5f);
    Image light = canvas(S, S), mask = canvas(S, S, Rgb{1, 1, 1});
    Mask body = canvasMask(S, S), halo = blur(heat, 18);
    for (int y = 0; y < light.height; ++y) {
        for (int x = 0; x < light.width; ++x) {
            float h = clamp01(heat.at(x, y)); // the blur's running sums can dip below 0
            // Fade to nothing well inside the square, so the quad's edge never shows.
            float ux = (x + 0.5f) / k, uy = (y + 0.5f) / k;
            float edge = std::min(std::min(ux, S - ux), std::min(uy, S - uy));
            float inside = smoothstep(4, 20, edge);
            body.at(x, y) = smoothstep(0.03f, 0.25f, h) * inside;
            Rgb c = ramp({{0, hex(0x000000)},
                          {0.06f, hex(0x6a0800)},
                          {0.22f, hex(0xd02800)},
                          {0.45f, hex(0xff7a10)},
                          {0.7f, hex(0xffc040)},
                          {0.9f, hex(0xfff0a0)},
                          {1, hex(0xfffbe8)}},
                         std::pow(h, 1.25f));
            float root = smoothstep(0.5f, 0.75f, (y / k - 128) / 128.0f) *
                         smoothstep(0.0f, 0.2f, h) * (1 - smoothstep(0.3f, 0.6f, h));
            c = c + hex(0x3060ff) * (root * 0.6f) + hex(0xff4a00) * (halo.at(x, y) * 0.55f);
            light.at(x, y) = c * inside;
        }
    }
    darken(mask, body, Rgb{0.35f, 0.12f, 0.04f});
    return {mask, light};
}
