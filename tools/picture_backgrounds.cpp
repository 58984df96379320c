// Square scene backgrounds. The show stretches rows 64 to 448 of these 512 x 512 pictures over
// the 640 x 480 screen (the same 1.25 scale both ways), and the interlude's cube shows them
// whole, so the composition sits in the middle band and the outer bands continue it quietly.
#include "tools/picture_art.h"

#include "tools/font_text.h"
#include "tools/image_noise.h"
#include "tools/image_ops.h"
#include "tools/image_shapes.h"
#include "tools/picture_style.h"

#include <cmath>

namespace {

constexpr int kS = 512;
constexpr float kPi = 3.14159265f;

} // namespace

Image paintMindControl() {
    Image image = canvas(kS, kS);
    const float k = float(pictureScale());
    Point c{256, 236};
    // A hypnotic logarithmic spiral in violet and magenta, brightest at the centre.
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            Rgb sum;
            for (int s = 0; s < 4; ++s) {
                float px = (x + 0.25f + 0.5f * (s & 1)) / k, py = (y + 0.25f + 0.5f * (s >> 1)) / k;
                float dx = px - c.x, dy = py - c.y;
                float r = std::hypot(dx, dy) + 1e-3f, a = std::atan2(dy, dx);
                float arm = std::sin(a * 3 + std::log(r) * 5.5f);
                float band = smoothstep(-0.15f, 0.15f, arm);
                float fall = std::exp(-r / 260);
                Rgb dark = mix(hex(0x0a0218), hex(0x2a0840), fall);
                Rgb light = mix(hex(0x3a0a5a), hex(0xe040c0), fall);
                sum += mix(dark, light, band);
            }
            image.at(x, y) = sum * 0.25f;
        }
    }
    // Rings of light ripple out from the centre.
    Mask rings = canvasMask(kS, kS);
    for (int i = 1; i <= 5; ++i) {
        float r = 40.0f * i * std::pow(1.25f, float(i));
        addShape(
            rings, [=](Point p) { return std::fabs(sdCircle(p, c, r)) - 1.2f; }, 0, 0, kS, kS);
    }
    addLight(image, blur(rings, 5), hex(0xff5ad0) * 0.5f);
    addLight(image, rings, hex(0xffb0ff) * 0.35f);
    // At the centre of the spiral an eye stares out: an almond of two circles' overlap, a
    // striated iris and a pupil, ringed by a dark lid line and a glow.
    const float lidRadius = 67.3f, lidOffset = 37.3f;
    auto almond = [=](Point p) {
        return std::max(sdCircle(p, {c.x, c.y + lidOffset}, lidRadius),
                        sdCircle(p, {c.x, c.y - lidOffset}, lidRadius));
    };
    Mask eye = shapeMask(image.width, image.height, almond);
    Mask lid =
        shapeMask(image.width, image.height, [=](Point p) { return std::fabs(almond(p)) - 2.5f; });
    addLight(image, blur(grown(eye, 6), 22), hex(0xff60e0) * 1.1f);
    Image eyeColour = canvas(kS, kS);
    fillWith(eyeColour, [=](float x, float y) {
        float dx = x - c.x, dy = y - c.y;
        float r = std::hypot(dx, dy), a = std::atan2(dy, dx);
        Rgb white = mix(hex(0xfff4fc), hex(0xd8a8d8), smoothstep(20, 60, r));
        float streaks = 0.5f + 0.5f * std::sin(a * 36 + std::sin(a * 7) * 2);
        Rgb iris = mix(hex(0x4a0a8a), hex(0xe060ff), smoothstep(26, 8, r) * 0.6f + streaks * 0.4f);
        Rgb colour = mix(white, iris, coverage(r - 26));
        colour = mix(colour, hex(0x0a0010), coverage(r - 26) * coverage(std::fabs(r - 26) - 1.2f));
        colour = mix(colour, hex(0x08000c), coverage(r - 10));
        colour = mix(colour, hex(0xffffff), coverage(std::hypot(dx + 7, dy + 8) - 4));
        return colour;
    });
    paint(image, eye, eyeColour);
    paint(image, lid, hex(0x12001c));

    Font font("DejaVuSans-Bold.ttf");
    Mask title = canvasMask(kS, kS);
    font.drawFitted(title, "MIND CONTROL", 96, 74, 320, 34, {30, 1, 8});
    LetterLook look;
    look.top = hex(0xffffff);
    look.bottom = hex(0xffa0f0);
    look.glow = hex(0xc020ff);
    look.glowRadius = 10;
    look.shadowOpacity = 0.7f;
    look.shadowDy = 3;
    paintLetters(image, title, look);
    vignette(image, 0.55f, 0.5f, 0.46f);
    return image;
}

Image paintNoSmorking() {
    Image image = canvas(kS, kS);
    const int W = image.width, H = image.height;
    // Teal wall with a fine diagonal pinstripe and a soft spotlight behind the sign.
    Point c{256, 226};
    fillWith(image, [=](float x, float y) {
        float stripe = 0.5f + 0.5f * std::sin((x + y) * 0.35f);
        float d = std::hypot(x - c.x, y - c.y) / 300;
        Rgb base = mix(hex(0x1d6f6a), hex(0x06201f), smoothstep(0, 1.1f, d));
        return base * (0.94f + 0.06f * stripe);
    });
    float R = 120;
    // The cigarette lies inside the ring: white paper, a cork filter and a glowing tip, with a
    // curl of smoke rising from the tip; the sign's bar crosses over it.
    Mask paper = shapeMask(W, H, [=](Point p) { return sdBox(p, {c.x + 12, c.y + 8}, 62, 13, 2); });
    Mask filter = shapeMask(W, H, [=](Point p) {
        return sdBox(p, {c.x - 66, c.y + 8}, 22, 13, 2);
    });
    Mask ember = shapeMask(W, H, [=](Point p) { return sdBox(p, {c.x + 76, c.y + 8}, 6, 13, 2); });
    Mask smoke = canvasMask(kS, kS);
    for (int k = 0; k < 2; ++k) {
        Point previous{c.x + 80, c.y - 8};
        for (int i = 1; i <= 40; ++i) {
            float t = i / 40.0f;
            Point next{c.x + 80 - t * 22 + k * 5 + 9 * std::sin(t * 8 + k * 2.5f) * t,
                       c.y - 8 - t * 62};
            float w = 3.5f - 2 * t;
            addShape(
                smoke, [=](Point p) { return sdSegment(p, previous, next, w); },
                int(std::min(previous.x, next.x)) - 6, int(next.y) - 6,
                int(std::max(previous.x, next.x)) + 7, int(previous.y) + 7);
            previous = next;
        }
    }
    paint(image, blur(shifted(maxOf(paper, filter), 5, 6), 4), Rgb{}, 0.45f);
    paint(image, paper, hex(0xf4f1e8));
    Image cork = canvas(kS, kS);
    fillWith(cork, [](float x, float y) {
        return mix(hex(0xc9772d), hex(0xe8a45a), fractalNoise(x / 4, y / 4, 5, 2));
    });
    paint(image, filter, cork);
    addLight(image, blur(ember, 8), hex(0xff5010));
    paint(image, ember, hex(0xffb040));
    paint(image, blur(smoke, 2), hex(0xe8f4f2), 0.75f);

    // The sign: a red ring with a diagonal bar, with a white rim.
    auto ring = [=](Point p) { return std::fabs(sdCircle(p, c, R - 14)) - 14; };
    float bx = std::cos(kPi / 4) * (R - 14), by = std::sin(kPi / 4) * (R - 14);
    auto bar = [=](Point p) {
        return sdSegment(p, {c.x - bx, c.y - by}, {c.x + bx, c.y + by}, 13);
    };
    Mask sign = shapeMask(W, H, [=](Point p) { return std::min(ring(p), bar(p)); });
    Mask rim = grown(sign, 5);
    paint(image, blur(shifted(rim, 6, 8), 6), Rgb{}, 0.45f);
    paint(image, rim, hex(0xfdf8f0));
    Image red = canvas(kS, kS);
    fillWith(red, [=](float, float y) {
        return mix(hex(0xff4a3a), hex(0xb0101a), clamp01((y - c.y + R) / (2 * R)));
    });
    paint(image, sign, red);

    Font font("DejaVuSans-Bold.ttf");
    Mask title = canvasMask(kS, kS);
    font.drawFitted(title, "NO SMORKING", 86, 372, 340, 38, {34, 1, 6});
    LetterLook look;
    look.top = hex(0xfdf8f0);
    look.bottom = hex(0xe8dcc0);
    look.outline = hex(0x0b2e2c);
    look.outlineWidth = 3;
    look.shadowOpacity = 0.5f;
    look.shadowDx = 3;
    look.shadowDy = 4;
    paintLetters(image, title, look);
    Font small("DejaVuSans-Oblique.ttf");
    Mask note = canvasMask(kS, kS);
    small.drawFitted(note, "in the demo hall", 186, 416, 140, 14, {14, 1, 1});
    paint(image, note, hex(0xb8e0d8), 0.9f);
    vignette(image, 0.5f);
    return image;
}

Image paintFriends() {
    Image image = canvas(kS, kS);
    const float k = float(pictureScale());
    const float horizon = 300;
    Point sun{256, 250};
    fillWith(image, [=](float x, float y) {
        if (y < horizon) {
            Rgb sky = ramp({{0, hex(0x0a0628)},
                            {0.45f, hex(0x3a0f5a)},
                            {0.8f, hex(0xb0306a)},
                            {1, hex(0xff7a50)}},
                           y / horizon);
            return sky;
        }
        // Perspective grid on a dark plain, lines glowing magenta, sampled 3 x 3 per pixel;
        // the cross lines fade out towards the horizon where they would crowd together.
        float depth = (y - horizon) / (kS - horizon);
        float line = 0;
        for (int s = 0; s < 9; ++s) {
            // Samples spread over the real pixel.
            float px = x - 0.5f / k + (s % 3 + 0.5f) / 3 / k,
                  py = y - 0.5f / k + (s / 3 + 0.5f) / 3 / k;
            float d = std::max((py - horizon) / (kS - horizon), 0.001f);
            float z = 1 / (d + 0.05f);
            float u = (px - 256) * z / 60, v = z * 1.5f;
            float lu = std::fabs(u - std::round(u)) / (z / 60);
            float lv = std::fabs(v - std::round(v)) / (1.5f * z * z / (kS - horizon));
            float along = clamp01(1.5f - lu),
                  across = clamp01(1.5f - lv) * smoothstep(0.04f, 0.3f, d);
            line += std::max(along, across) / 9;
        }
        Rgb ground = mix(hex(0x1a0530), hex(0x05020c), depth);
        return ground + hex(0xff3ac0) * line * (0.5f + 0.5f * depth) +
               hex(0xb0306a) * (0.35f * std::exp(-depth * 12));
    });
    // The sun: a disc with a warm gradient, cut by widening horizontal gaps at its base.
    Image sunColour = canvas(kS, kS);
    fillWith(sunColour, [=](float, float y) {
        return ramp({{0, hex(0xfff27a)}, {0.6f, hex(0xff9a3a)}, {1, hex(0xff3a7a)}},
                    clamp01((y - (sun.y - 110)) / 110));
    });
    Mask disc = shapeMask(image.width, image.height, [=](Point p) {
        float d = sdCircle(p, sun, 110);
        float band = std::fmod(std::max(0.0f, p.y - (sun.y - 50)), 16.0f);
        float gap = (p.y > sun.y - 50) ? (p.y - (sun.y - 50)) / 16 + 1 : 0;
        float cut = gap > 0 ? std::min(band, 16 - band) - gap * 0.6f : 99;
        float d2 = std::max(d, -cut);
        return p.y > horizon ? 99.0f : d2;
    });
    addLight(image, blur(disc, 24), hex(0xff5a40) * 0.7f);
    paint(image, disc, sunColour);

    // Mountains in silhouette along the horizon.
    Mask hills = shapeMask(image.width, image.height, [=](Point p) {
        float h = 28 * fractalNoise(p.x / 60, 3, 91, 3) + 10 * std::sin(p.x * 0.02f);
        float top = horizon - 10 - h * (0.6f + 0.4f * std::fabs(p.x - 256) / 256);
        return std::max(top - p.y, p.y - horizon - 1);
    });
    paint(image, hills, hex(0x160826));

    Font font("DejaVuSans-Bold.ttf");
    Mask title = canvasMask(kS, kS);
    font.drawFitted(title, "FRIENDS", 116, 80, 280, 50, {40, 1, 10});
    LetterLook look;
    look.top = hex(0x8ff8ff);
    look.bottom = hex(0xff7ae0);
    look.glow = hex(0xff3ac0);
    look.glowRadius = 14;
    look.outline = hex(0x12052a);
    look.outlineWidth = 3;
    look.shine = 0.3f;
    paintLetters(image, title, look);
    vignette(image, 0.45f);
    return image;
}
