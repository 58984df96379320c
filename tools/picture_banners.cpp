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
};

// Paints at twice the on-screen size, so the lettering has the shape it will have on screen,
// then resamples to the file's size.
std::vector<Image> paintBannerDesign(const BannerDesign& d) {
    const int W = d.shownW * 2, H = d.shownH * 2;
    const float margin = H * 0.08f;
    Font font("DejaVuSans-Bold.ttf");
    Mask letters(W, H);
    float lineH = (H - 2 * margin - 0.18f * H) / float(d.lines.size());
    float gap = d.lines.size() > 1 ? H * 0.06f : 0;
    for (std::size_t i = 0; i < d.lines.size(); ++i) {
        float y = margin + 0.09f * H + i * lineH + (i > 0 ? gap / 2 : 0);
        font.drawFitted(letters, d.lines[i], margin + 0.05f * W, y, W - 2 * margin - 0.1f * W,
                        lineH - gap / 2, {80, 1, 10});
    }
    // A dark plate behind the letters keeps them readable over any background.
    float plateH = H / 2.0f - margin, plateW = W / 2.0f - margin;
    Mask plate = shapeMask(W, H, [=](Point p) {
        return sdBox(p, {W / 2.0f, H / 2.0f}, plateW, plateH, plateH * 0.35f);
    });
    Mask plateEdge = shapeMask(W, H, [=](Point p) {
        return std::fabs(sdBox(p, {W / 2.0f, H / 2.0f}, plateW - 5, plateH - 5, plateH * 0.3f)) -
               1.6f;
    });
    Mask outline = grown(letters, H * 0.025f);
    Mask halo = scaled(blur(outline, H * 0.05f), 1.3f);

    Image mask(W, H, Rgb{1, 1, 1});
    darken(mask, plate, Rgb{0.3f, 0.3f, 0.36f});
    paint(mask, plateEdge, Rgb{});
    paint(mask, outline, Rgb{});

    Image light(W, H);
    Image plateTint(W, H);
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
    return {resized(mask, d.fileW, d.fileH), resized(light, d.fileW, d.fileH)};
}

} // namespace

std::vector<Image> paintBanner(int which) {
    switch (which) {
    case 0:
        return paintBannerDesign({{"REALTIME", "POLYGONS"},
                                  392,
                                  150,
                                  512,
                                  256,
                                  hex(0xfff8c0),
                                  hex(0xff8a1a),
                                  hex(0xff6a00)});
    case 1:
        return paintBannerDesign(
            {{"SO MANY"}, 400, 100, 512, 128, hex(0xd0ffff), hex(0x20b0ff), hex(0x0080ff)});
    default:
        return paintBannerDesign({{"128 CUBES - COUNT THEM!"},
                                  900,
                                  100,
                                  1024,
                                  128,
                                  hex(0xffe0ff),
                                  hex(0xff3ab0),
                                  hex(0xd000a0)});
    }
}

std::vector<Image> paintFlame() {
    const int S = 256;
    // Heat field of three tongues of flame rising from a common base, their edges licked by
    // noise; the heat picks the colour and its outline makes the mask.
    Mask heat(S, S);
    struct Tongue {
        float x, base, height, width, seed;
    } tongues[3] = {{128, 196, 160, 44, 1}, {100, 200, 105, 30, 2}, {157, 198, 120, 32, 3}};
    fillWith(heat, [&](float x, float y) {
        float best = 0;
        for (const Tongue& t : tongues) {
            float up = (t.base - y) / t.height; // 0 at the base, 1 at the tip
            if (up < -0.25f || up > 1.05f) continue;
            float wobble = (fractalNoise(y / 24, t.seed * 7, 101 + int(t.seed), 3) - 0.5f) * 36 *
                           clamp01(up + 0.1f);
            float profile = up < 0
                                ? std::sqrt(std::max(0.0f, 1 - (up / 0.25f) * (up / 0.25f)))
                                : std::pow(1 - up, 0.8f) * std::sqrt(std::min(1.0f, up * 4 + 0.6f));
            float w = t.width * std::max(0.0f, profile);
            if (w <= 0) continue;
            float across = std::fabs(x - t.x - wobble) / w;
            float h = clamp01(1 - across) * (1 - 0.6f * clamp01(up));
            best = std::max(best, h);
        }
        return best;
    });
    heat = blur(heat, 2);
    Image light(S, S), mask(S, S, Rgb{1, 1, 1});
    Mask body(S, S), halo = blur(heat, 16);
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            float h = heat.at(x, y);
            // Fade to nothing well inside the square, so the quad's edge never shows.
            float edge =
                std::min(std::min(x + 0.5f, S - x - 0.5f), std::min(y + 0.5f, S - y - 0.5f));
            float inside = smoothstep(4, 20, edge);
            body.at(x, y) = smoothstep(0.04f, 0.3f, h) * inside;
            Rgb c = ramp({{0, hex(0x000000)},
                          {0.1f, hex(0x7a0a00)},
                          {0.3f, hex(0xe03a00)},
                          {0.55f, hex(0xff9a10)},
                          {0.8f, hex(0xffe070)},
                          {1, hex(0xffffff)}},
                         h * 1.25f);
            c += hex(0xff4a00) * halo.at(x, y) * 0.6f;
            light.at(x, y) = c * inside;
        }
    }
    darken(mask, body, Rgb{0.35f, 0.12f, 0.04f});
    return {mask, light};
}
