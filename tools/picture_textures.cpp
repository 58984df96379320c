// Surface textures. Every one repeats seamlessly: patterns are built from whole periods of the
// tile (periodic noise, cosines of whole cycles, frames split across opposite edges), because
// the show repeats them on the floor, ceiling, tunnel wall and pillars. All keep strong light
// and dark detail so they still read through black fog and when drawn half transparent.
#include "tools/picture_art.h"

#include "tools/image_noise.h"
#include "tools/image_ops.h"
#include "tools/image_shapes.h"
#include "tools/picture_style.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTau = 6.28318531f;

// Distance from (x, y) to the nearest edge of a size x size tile, wrapping: 0 on the edges,
// size / 2 in the middle.
float edgeDistance(float x, float y, float size) {
    float dx = std::min(x, size - x), dy = std::min(y, size - y);
    return std::min(dx, dy);
}

// Bevel light of a square cell: +1 on its upper-left rim, -1 on its lower-right rim, 0 inside.
float bevel(float x, float y, float size, float width) {
    float left = 1 - clamp01(x / width), top = 1 - clamp01(y / width);
    float right = 1 - clamp01((size - x) / width), bottom = 1 - clamp01((size - y) / width);
    return std::max(left, top) - std::max(right, bottom);
}

} // namespace

Image paintStarMetal() {
    const int S = 256;
    Image image = canvas(S, S);
    const float k = float(pictureScale());
    // The star's planar mapping lays this picture over it whole, centred: engraved gold, a
    // rosette guilloche between polished rings, and a ruby set in the middle.
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            Rgb sum;
            for (int s = 0; s < 4; ++s) {
                float px = (x + 0.25f + 0.5f * (s & 1)) / k, py = (y + 0.25f + 0.5f * (s >> 1)) / k;
                float dx = (px - 128) / 128, dy = (py - 128) / 128;
                float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
                float lines = 0.5f + 0.5f * std::cos(r * 70 + 2.2f * std::sin(a * 10));
                float grain = fractalNoise(px / 8, py / 8, 3, 3, 32);
                float shade = (0.45f + 0.4f * lines) * (0.9f + 0.2f * grain);
                shade *= 1.1f - 0.35f * smoothstep(0.55f, 1.0f, r);
                for (float ring : {0.2f, 0.52f, 0.8f}) {
                    float d = std::fabs(r - ring) * 128;
                    shade = mixf(shade, 0.95f + 0.05f * std::cos(a * 40), coverage(d - 4));
                    shade *= 1 - 0.5f * coverage(std::fabs(d - 5) - 0.6f);
                }
                Rgb c = ramp({{0, hex(0x3a2004)},
                              {0.4f, hex(0xa06a12)},
                              {0.75f, hex(0xf0c850)},
                              {1, hex(0xfff4c8)}},
                             shade);
                float gem = r * 128 - 18;
                if (gem < 1) {
                    float hx = dx * 128 + 6, hy = dy * 128 + 6;
                    Rgb ruby =
                        ramp({{0, hex(0xffd0d8)}, {0.25f, hex(0xff3050)}, {1, hex(0x500010)}},
                             clamp01(std::sqrt(hx * hx + hy * hy) / 22));
                    c = mix(c, ruby, coverage(gem));
                    c = c * (1 - 0.6f * coverage(std::fabs(gem) - 1.5f));
                }
                sum += c;
            }
            image.at(x, y) = sum * 0.25f;
        }
    }
    return image;
}

Image paintFloorTiles() {
    const int S = 256, C = 128;
    Image image = canvas(S, S);
    // Chequered marble: white Carrara and dark green serpentine, veined, with grout and bevels.
    fillWith(image, [](float x, float y) {
        int cell = (int(x) / C + int(y) / C) % 2;
        float lx = std::fmod(x, float(C)), ly = std::fmod(y, float(C));
        float n = fractalNoise(x / 32, y / 32, cell ? 41 : 43, 5, 8);
        float warp = fractalNoise(x / 64, y / 64, cell ? 45 : 47, 3, 4);
        float vein = std::fabs(std::sin((x + y) / S * kTau * 2 + warp * 9 + n * 1.5f));
        float veins = std::pow(1 - vein, 14.0f);
        Rgb stone =
            cell ? mix(hex(0x0e2a22), hex(0x1f5040), n) : mix(hex(0xd8d4cc), hex(0xf4f2ee), n);
        stone = cell ? stone + hex(0x7fc0a0) * (veins * 0.5f) : stone * (1 - 0.45f * veins);
        float b = bevel(lx, ly, float(C), 6);
        stone = stone * (1 + 0.25f * b);
        float grout = std::min(std::min(lx, C - lx), std::min(ly, C - ly));
        return mix(hex(0x141414), stone, smoothstep(1.0f, 2.2f, grout));
    });
    return image;
}

Image paintTunnelWall() {
    const int S = 256, P = 128;
    Image image = canvas(S, S);
    // Riveted steel plates with glowing seams: the seams carry the motion through the fog.
    fillWith(image, [](float x, float y) {
        float lx = std::fmod(x, float(P)), ly = std::fmod(y, float(P));
        float n = fractalNoise(x / 16, y / 16, 51, 4, 16);
        float scratches = valueNoise(x / 2, y / 32, 53, 128);
        Rgb steel = mix(hex(0x2a3440), hex(0x5a6878), n) * (0.9f + 0.2f * scratches);
        steel = steel * (1 + 0.5f * bevel(lx, ly, float(P), 8));
        float seam = edgeDistance(lx, ly, float(P));
        Rgb c = mix(hex(0x0a0d12), steel, smoothstep(2, 4, seam));
        // Light strips run along the seams.
        c += hex(0x30c0ff) * std::exp(-seam * seam / 3.0f) * 1.3f;
        // A warm indicator slot in the middle of each plate.
        float slot = sdBox({lx, ly}, {64, 64}, 30, 5, 3);
        c = mix(c, hex(0x150500), coverage(slot + 2));
        c += hex(0xff7a20) * coverage(slot + 4) * 0.9f +
             hex(0xff5a00) * std::exp(-std::max(0.0f, slot) / 5) * 0.25f;
        // Rivets near the plate corners.
        for (float rx : {14.0f, 114.0f}) {
            for (float ry : {14.0f, 114.0f}) {
                float d = std::hypot(lx - rx, ly - ry);
                float cover = coverage(d - 4);
                float light = clamp01(1 - std::hypot(lx - rx + 1.5f, ly - ry + 1.5f) / 4);
                c = mix(c, mix(hex(0x3a4550), hex(0xd0dae8), light), cover);
            }
        }
        return c;
    });
    return image;
}

Image paintCircuitFace() {
    const int S = 256, G = 16;
    Image image = canvas(S, S);
    fillWith(image, [](float x, float y) {
        float n = fractalNoise(x / 32, y / 32, 61, 3, 8);
        return mix(hex(0x04101e), hex(0x0c2a44), n);
    });
    // Circuit traces on a 16 x 16 lattice: from each node a trace may run right or down, chosen
    // by the hash, ending in pads. The lattice wraps, so traces cross the tile's edges cleanly.
    Mask traces = canvasMask(S, S), pads = canvasMask(S, S);
    const int N = S / G;
    for (int j = 0; j < N; ++j) {
        for (int i = 0; i < N; ++i) {
            float x = i * G + G / 2.0f, y = j * G + G / 2.0f;
            std::uint32_t h = hash3(i, j, 67);
            bool right = (h & 3) == 0, down = ((h >> 2) & 3) == 0, pad = ((h >> 4) & 7) == 0;
            for (int ox = -S; ox <= S; ox += S) {
                for (int oy = -S; oy <= S; oy += S) {
                    Point a{x + ox, y + oy};
                    auto draw = [&](Point b) {
                        addShape(
                            traces, [=](Point p) { return sdSegment(p, a, b, 1.3f); },
                            int(std::min(a.x, b.x)) - 3, int(std::min(a.y, b.y)) - 3,
                            int(std::max(a.x, b.x)) + 4, int(std::max(a.y, b.y)) + 4);
                    };
                    if (right) draw({a.x + G, a.y});
                    if (down) draw({a.x, a.y + G});
                    if (pad || (right && down)) {
                        addShape(
                            pads, [=](Point p) { return std::fabs(sdCircle(p, a, 3.5f)) - 1.2f; },
                            int(a.x) - 6, int(a.y) - 6, int(a.x) + 7, int(a.y) + 7);
                    }
                }
            }
        }
    }
    Mask all = maxOf(traces, pads);
    addLight(image, blur(all, 4, true), hex(0x1ab0ff) * 0.6f);
    paint(image, all, hex(0x5fe0ff));
    // A bright double frame split over opposite edges, so every face of a cube is outlined.
    Mask frame = canvasMask(S, S), inner = canvasMask(S, S);
    fillWith(frame, [](float x, float y) { return coverage(edgeDistance(x, y, S) - 6); });
    fillWith(inner,
             [](float x, float y) { return coverage(std::fabs(edgeDistance(x, y, S) - 12) - 1); });
    Mask frames = maxOf(frame, inner);
    addLight(image, blur(frames, 6, true), hex(0x3a90ff) * 0.7f);
    paint(image, frame, hex(0xbfeeff));
    paint(image, inner, hex(0x7fd0ff));
    return image;
}

Image paintCeiling() {
    const int S = 256;
    Image image = canvas(S, S);
    // A coffer: a bronze grid frame around a recessed panel with a round lamp in its centre.
    fillWith(image, [](float x, float y) {
        float n = fractalNoise(x / 32, y / 32, 71, 4, 8);
        float e = edgeDistance(x, y, S);
        Rgb bronze = mix(hex(0x7a5226), hex(0xd09448), n);
        Rgb c;
        if (e < 22) {
            // Frame beam with a rounded profile.
            float profile = std::cos((e / 22 - 0.5f) * 3.14159f);
            c = bronze * (0.55f + 0.6f * profile);
        } else {
            // Recess with stepped bevels, darker towards the middle, then the lamp.
            float lx = x, ly = y;
            float step = bevel(lx - 22, ly - 22, S - 44.0f, 10);
            Rgb panel = mix(hex(0x2e2418), hex(0x5a4430), n);
            c = panel * (1 + 0.8f * step);
            float d = std::hypot(x - 128, y - 128);
            c = mix(c, hex(0x0c0806), coverage(std::fabs(d - 50) - 2));
            c += hex(0xffc070) * (std::exp(-d * d / 1200) * 1.1f + std::exp(-d * d / 9000) * 0.35f);
            c = mix(c, hex(0xfff4d8), coverage(d - 26));
        }
        return c;
    });
    return image;
}

Image paintSphereSkin() {
    const int W = 512, H = 256;
    Image image = canvas(W, H);
    const float k = float(pictureScale());
    // Wavy latitude bands in a candy palette, split by thin white lines, with speckles.
    static const Rgb palette[6] = {hex(0xff4f8b), hex(0xffc23a), hex(0x3ad6c8),
                                   hex(0x6a4cff), hex(0xff7a3a), hex(0x2aa0ff)};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            Rgb sum;
            for (int s = 0; s < 4; ++s) {
                float px = (x + 0.25f + 0.5f * (s & 1)) / k, py = (y + 0.25f + 0.5f * (s >> 1)) / k;
                float u = px / W * kTau;
                float v = py / H * 6 + 0.35f * std::sin(u * 3) + 0.15f * std::sin(u * 7 + 1);
                float band = std::floor(v);
                float f = v - band;
                int index = ((int(band) % 6) + 6) % 6;
                Rgb c = palette[index] * (0.75f + 0.25f * std::sin(f * 3.14159f));
                float edge = std::min(f, 1 - f) * H / 6;
                c = mix(hex(0xffffff), c, smoothstep(0.8f, 2.0f, edge));
                sum += c;
            }
            float n = fractalNoise(x / k / 8.0f, y / k / 8.0f, 81, 3, 32);
            image.at(x, y) = sum * 0.25f * (0.85f + 0.3f * n);
        }
    }
    return image;
}

Image paintPillar() {
    const int S = 256;
    Image image = canvas(S, S);
    // The pillar faces map the picture's columns along the pillar's height and its rows
    // across the face, squeezed five times: rows carry three broad flutes that become slim
    // grooves, and the left edge of each tile a gilded band (at the floor, the middle and the
    // ceiling of the pillar).
    fillWith(image, [](float y, float x) {
        float u = x / S * kTau;
        float flute = 0.5f + 0.5f * std::cos(u * 3);
        float n = fractalNoise(x / 32, y / 32, 91, 4, 8);
        float vein =
            std::pow(1 - std::fabs(std::sin(y / S * kTau * 2 + n * 6 + x / S * kTau)), 12.0f);
        Rgb stone = mix(hex(0x8a8fa0), hex(0xe8ecf4), flute * (0.8f + 0.2f * n));
        stone = stone * (1 - 0.35f * vein);
        float band = std::min(y, S - y);
        if (band < 22) {
            float ridge = 0.5f + 0.5f * std::cos(band / 22 * 3.14159f * 3);
            Rgb gold = ramp({{0, hex(0x5a3a08)}, {0.6f, hex(0xd8a030)}, {1, hex(0xfff0b0)}}, ridge);
            return mix(gold, stone, smoothstep(20, 22, band));
        }
        return stone;
    });
    return image;
}
