// Full-screen pictures: the loading screen, the interlude's backdrop and the four greetings.
#include "tools/picture_art.h"

#include "tools/font_text.h"
#include "tools/image_noise.h"
#include "tools/image_ops.h"
#include "tools/image_shapes.h"
#include "tools/picture_style.h"

#include <cmath>
#include <string>

namespace {

constexpr int kW = 640, kH = 480;
constexpr float kPi = 3.14159265f;

} // namespace

Image paintLoading() {
    Image image = canvas(kW, kH);
    fillWith(image, [](float x, float y) {
        float n = fractalNoise(x / 90, y / 90, 11, 4);
        Rgb base = ramp({{0, hex(0x070b1c)}, {0.55f, hex(0x0d1838)}, {1, hex(0x04060f)}}, y / kH);
        return base + Rgb{0.02f, 0.03f, 0.06f} * (n - 0.5f);
    });
    Point c{320, 200};
    // Concentric arcs, broken into segments like a dial.
    Mask dial = canvasMask(kW, kH);
    for (int ring = 0; ring < 4; ++ring) {
        float r = 120 + ring * 18.0f, w = ring == 1 ? 4.0f : 1.2f;
        int segments = 24 + ring * 12;
        addShape(
            dial,
            [=](Point p) {
                float d = std::fabs(std::hypot(p.x - c.x, p.y - c.y) - r) - w;
                float a = std::atan2(p.y - c.y, p.x - c.x) / (2 * kPi) * segments;
                float gap = std::fabs(a - std::round(a)) * (2 * kPi * r / segments) - 2.5f;
                return std::max(d, -gap);
            },
            0, 0, kW, kH);
    }
    Mask dialGlow = blur(dial, 6);
    addLight(image, dialGlow, hex(0x1f6fff) * 0.6f);
    paint(image, dial, hex(0x4fa8ff), 0.75f);

    Font font("DejaVuSans-Bold.ttf");
    Mask title = canvasMask(kW, kH);
    font.drawFitted(title, "LOADING", 120, 168, 400, 64, {60, 1, 12});
    LetterLook look;
    look.top = hex(0xffffff);
    look.bottom = hex(0x9fd4ff);
    look.glow = hex(0x2a8cff);
    look.glowRadius = 14;
    look.shadowOpacity = 0.6f;
    look.shadowDy = 4;
    look.shadowBlur = 6;
    paintLetters(image, title, look);

    // A progress bar of lit and unlit cells.
    Mask lit = canvasMask(kW, kH), unlit = canvasMask(kW, kH);
    for (int i = 0; i < 16; ++i) {
        float x = 196 + i * 16.0f;
        addShape(
            i < 10 ? lit : unlit,
            [=](Point p) {
                return sdBox(p, {x + 6, 372}, 6, 9, 2);
            },
            int(x) - 2, 360, int(x) + 16, 385);
    }
    addLight(image, blur(lit, 8), hex(0x2a8cff) * 0.8f);
    paint(image, lit, hex(0x8fd0ff));
    paint(image, unlit, hex(0x1a2a50));

    Font small("DejaVuSans.ttf");
    Mask caption = canvasMask(kW, kH);
    small.drawFitted(caption, "please wait while the show gets ready", 170, 410, 300, 16,
                     {16, 1, 1});
    paint(image, caption, hex(0x7f9cc8));
    vignette(image, 0.6f);
    return image;
}

Image paintCubeBackdrop() {
    Image image = canvas(kW, kH);
    const float k = float(pictureScale());
    // Tumbling blocks: a hexagon grid where each hexagon is a cube seen corner-on, its three
    // visible faces lit differently. Sampled 3 x 3 per pixel for clean edges.
    const float R = 34;
    const float s3 = std::sqrt(3.0f);
    auto faceAt = [&](float px, float py, float& edge) {
        float q = (s3 / 3 * px - py / 3) / R, r = (2.0f / 3 * py) / R;
        float cx = q, cz = r, cy = -q - r;
        float rx = std::round(cx), ry = std::round(cy), rz = std::round(cz);
        float dx = std::fabs(rx - cx), dy = std::fabs(ry - cy), dz = std::fabs(rz - cz);
        if (dx > dy && dx > dz)
            rx = -ry - rz;
        else if (dy > dz)
            ry = -rx - rz;
        else
            rz = -rx - ry;
        float hx = R * s3 * (rx + rz / 2), hy = R * 1.5f * rz;
        float ax = px - hx, ay = -(py - hy);
        float angle = std::atan2(ay, ax) * 180 / kPi;
        if (angle < -90) angle += 360;
        int face = angle >= 30 && angle < 150 ? 0 : (angle >= 150 ? 1 : 2);
        // Distance to the nearest of the three edges meeting at the near corner.
        edge = 1e9f;
        for (float ray : {30.0f, 150.0f, 270.0f}) {
            float a = ray * kPi / 180, ux = std::cos(a), uy = std::sin(a);
            float along = ax * ux + ay * uy;
            if (along > 0) edge = std::min(edge, std::fabs(ax * uy - ay * ux));
        }
        return face;
    };
    const Rgb faces[3] = {hex(0x3b6f9a), hex(0x1b3356), hex(0x0c1a30)};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            Rgb sum;
            float edgeLight = 0;
            for (int sy = 0; sy < 3; ++sy) {
                for (int sx = 0; sx < 3; ++sx) {
                    float px = (x + (sx + 0.5f) / 3) / k, py = (y + (sy + 0.5f) / 3) / k, edge;
                    int f = faceAt(px + 7, py + 11, edge);
                    sum += faces[f];
                    edgeLight += edge < 1.0f ? 1.0f : 0.0f;
                }
            }
            Rgb c = sum * (1.0f / 9);
            // Noise and glow at the pixel's corner, as the classic picture placed them.
            float ux = x / k, uy = y / k;
            float n = fractalNoise(ux / 60.0f, uy / 60.0f, 23, 3);
            c = c * (0.85f + 0.3f * n);
            c += hex(0x6fd0ff) * (edgeLight / 9 * 0.35f);
            float dx = (ux - 320) / 320.0f, dy = (uy - 240) / 240.0f;
            float glow = std::exp(-(dx * dx + dy * dy) * 2.5f);
            c = c * (0.55f + 0.7f * glow) + hex(0x2060a0) * (0.25f * glow);
            image.at(x, y) = c;
        }
    }
    vignette(image, 0.7f);
    return image;
}

namespace {

struct GreetingTheme {
    const char* name;
    const char* fontFile;
    Rgb skyTop, skyBottom;
    LetterLook look;
};

void sunRays(Image& image, Point c, int rays, Rgb colour, float strength) {
    const float k = float(pictureScale());
    for (int py = 0; py < image.height; ++py) {
        for (int px = 0; px < image.width; ++px) {
            float x = (px + 0.5f) / k, y = (py + 0.5f) / k;
            float a = std::atan2(y - c.y, x - c.x);
            float s = 0.5f + 0.5f * std::cos(a * rays);
            float r = std::hypot(x - c.x, y - c.y);
            // Rays are thinner than a pixel near their centre: fade them in from there.
            float reach = smoothstep(20, 140, r) * (1 - r / 500);
            image.at(px, py) += colour * (smoothstep(0.3f, 0.7f, s) * strength * reach);
        }
    }
}

void starField(Image& image, std::uint32_t seed) {
    Mask stars(image.width, image.height);
    const float k = float(pictureScale()), w = image.width / k, h = image.height / k;
    for (int i = 0; i < 260; ++i) {
        float x = hashUnit(i, 0, seed) * w, y = hashUnit(i, 1, seed) * h;
        float r = 0.4f + 1.4f * std::pow(hashUnit(i, 2, seed), 4.0f);
        addShape(
            stars,
            [=](Point p) {
                return sdCircle(p, {x, y}, r);
            },
            int(x) - 4, int(y) - 4, int(x) + 5, int(y) + 5);
    }
    addLight(image, blur(stars, 3), Rgb{0.6f, 0.7f, 1.0f});
    addLight(image, stars, Rgb{0.9f, 0.9f, 1.0f});
}

} // namespace

Image paintGreeting(int which) {
    Image image = canvas(kW, kH);
    std::string name;
    LetterLook look;
    const char* fontFile = "DejaVuSans-Bold.ttf";
    TextStyle style{120, 1, 4};
    Rgb captionColour;
    switch (which) {
    case 0: { // warm sunset with rays
        name = "DOIN";
        fillWith(image, [](float, float y) {
            return ramp({{0, hex(0x2a0b3d)},
                         {0.45f, hex(0xb8325a)},
                         {0.8f, hex(0xf7913d)},
                         {1, hex(0xffd27a)}},
                        y / kH);
        });
        sunRays(image, {320, 470}, 18, hex(0xffd9a0), 0.18f);
        look.top = hex(0xfff6e0);
        look.bottom = hex(0xffc86b);
        look.outline = hex(0x3a0a24);
        look.outlineWidth = 5;
        look.shadowOpacity = 0.55f;
        look.shadowDx = 8;
        look.shadowDy = 10;
        look.shadowBlur = 8;
        look.shine = 0.25f;
        captionColour = hex(0xffe4c0);
        break;
    }
    case 1: { // deep space in cold blue
        name = "VATR";
        fillWith(image, [](float x, float y) {
            float n = fractalNoise(x / 140, y / 140, 31, 5);
            float m = fractalNoise(x / 70 + 9, y / 70, 37, 4);
            Rgb base = ramp({{0, hex(0x02030a)}, {1, hex(0x0a1030)}}, y / kH);
            base += hex(0x3a1a6a) * std::pow(n, 3.0f) * 1.6f;
            base += hex(0x0f6a8a) * std::pow(m, 4.0f) * 1.4f;
            return base;
        });
        starField(image, 77);
        look.top = hex(0xffffff);
        look.bottom = hex(0x3fa9ff);
        look.glow = hex(0x1f7aff);
        look.glowRadius = 18;
        look.outline = hex(0x06112a);
        look.outlineWidth = 3;
        look.shine = 0.35f;
        fontFile = "DejaVuSansMono-Bold.ttf";
        style = {120, 1.1f, 6};
        captionColour = hex(0x9fc8ff);
        break;
    }
    case 2: { // lime halftone pop art
        name = "MULO";
        // A comic-book burst: alternating wedges around the lettering, with halftone dots
        // that grow towards the edges of the picture.
        fillWith(image, [](float x, float y) {
            float dx = x - 320, dy = y - 250;
            float a = std::atan2(dy, dx), r = std::hypot(dx, dy);
            float wedge = std::sin(a * 14);
            float edge = wedge / (std::fabs(std::cos(a * 14)) * 14 / std::max(r, 1.0f) + 1e-3f);
            // Anti-aliased across the wedge border, one real pixel wide.
            float lit = clamp01(0.5f + edge * float(pictureScale()));
            Rgb base = mix(hex(0x1f7a1c), hex(0x6fd02a), lit);
            base = mix(base, hex(0xb8f04a), std::exp(-r / 140) * 0.6f);
            float cell = 14;
            float u = std::fmod(x, cell) - cell / 2, v = std::fmod(y, cell) - cell / 2;
            float radius = 0.5f + 5.5f * smoothstep(120, 420, r);
            float dot = coverage(std::hypot(u, v) - radius);
            return mix(base, hex(0x0f3a12), dot * 0.45f);
        });
        look.top = hex(0xfff04a);
        look.bottom = hex(0xffa61a);
        look.outline = hex(0x101010);
        look.outlineWidth = 7;
        look.shadowOpacity = 0.8f;
        look.shadowDx = 12;
        look.shadowDy = 12;
        look.shadowBlur = 1;
        fontFile = "DejaVuSerif-Bold.ttf";
        captionColour = hex(0xf2ffd0);
        break;
    }
    default: { // violet horizon over a chequered plain
        name = "OLVANUSTERI";
        // Sky over a chequered plain in perspective, sampled 4 x 4 per pixel and fading into
        // the haze at the horizon so the far squares do not shimmer.
        const float horizon = 300;
        const float k = float(pictureScale());
        fillWith(image, [=](float x, float y) {
            if (y < horizon) {
                return ramp({{0, hex(0x12042a)}, {0.7f, hex(0x5a1a7a)}, {1, hex(0xff6ac1)}},
                            y / horizon);
            }
            Rgb sum;
            for (int s = 0; s < 16; ++s) {
                // Samples spread over the real pixel.
                float px = x - 0.5f / k + (s % 4 + 0.5f) / 4 / k,
                      py = y - 0.5f / k + (s / 4 + 0.5f) / 4 / k;
                float z = (kH - horizon) / std::max(py - horizon, 0.01f);
                float wx = (px - 320) / 90 * z, wz = z * 1.6f;
                bool check = (int(std::floor(wx)) + int(std::floor(wz))) % 2 == 0;
                sum += check ? hex(0x2a0a4a) : hex(0x9a3aaa);
            }
            float depth = (y - horizon) / (kH - horizon);
            Rgb floor = mix(hex(0x62227a), sum * (1.0f / 16), smoothstep(0.02f, 0.4f, depth));
            return mix(hex(0xff6ac1), floor, smoothstep(0, 0.25f, depth));
        });
        look.top = hex(0xffe0f6);
        look.bottom = hex(0xff4fa8);
        look.outline = hex(0xffffff);
        look.outlineWidth = 3;
        look.glow = hex(0xff3a9a);
        look.glowRadius = 16;
        look.shadowOpacity = 0.5f;
        look.shadowDy = 8;
        look.shadowBlur = 8;
        fontFile = "DejaVuSansCondensed-Bold.ttf";
        captionColour = hex(0xffd0f0);
        break;
    }
    }
    Font font(fontFile);
    Mask letters = canvasMask(kW, kH);
    font.drawFitted(letters, name, 40, 160, 560, which == 3 ? 130 : 170, style);
    paintLetters(image, letters, look);

    Font small("DejaVuSans-Bold.ttf");
    Mask caption = canvasMask(kW, kH);
    small.drawFitted(caption, "GREETINGS TO", 220, 110, 200, 22, {22, 1, 6});
    LetterLook captionLook;
    captionLook.top = captionLook.bottom = captionColour;
    captionLook.shadowOpacity = 0.7f;
    captionLook.shadowDx = 2;
    captionLook.shadowDy = 2;
    captionLook.shadowBlur = 3;
    paintLetters(image, caption, captionLook);
    vignette(image, 0.45f);
    return image;
}
