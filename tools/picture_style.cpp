#include "tools/picture_style.h"

#include "tools/image_ops.h"

#include <algorithm>
#include <cmath>
#include <vector>

Rgb ramp(std::initializer_list<std::pair<float, Rgb>> stops, float t) {
    const std::pair<float, Rgb>* previous = nullptr;
    for (const auto& stop : stops) {
        if (t <= stop.first) {
            if (!previous) return stop.second;
            float span = stop.first - previous->first;
            return mix(previous->second, stop.second, span > 0 ? (t - previous->first) / span : 1);
        }
        previous = &stop;
    }
    return previous ? previous->second : Rgb{};
}

void vignette(Image& image, float strength, float cx, float cy) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            float dx = (x + 0.5f) / image.width - cx, dy = (y + 0.5f) / image.height - cy;
            float d = std::sqrt(dx * dx + dy * dy) / 0.7071f;
            image.at(x, y) = image.at(x, y) * (1 - strength * smoothstep(0.3f, 1.1f, d));
        }
    }
}

Mask grown(const Mask& mask, float width) {
    if (width <= 0) return mask;
    // A blur spreads coverage by about its radius; rescaling brings the spread edge up to full.
    Mask spread = blur(mask, width);
    for (float& v : spread.data)
        v = smoothstep(0.02f, 0.22f, v);
    return maxOf(spread, mask);
}

std::pair<int, int> inkRows(const Mask& mask) {
    int first = mask.height, last = 0;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (mask.at(x, y) > 0.5f) {
                first = std::min(first, y);
                last = std::max(last, y + 1);
                break;
            }
        }
    }
    return first < last ? std::make_pair(first, last) : std::make_pair(0, mask.height);
}

void paintLetters(Image& image, const Mask& letters, const LetterLook& look) {
    Mask body = look.outlineWidth > 0 ? grown(letters, look.outlineWidth) : letters;
    if (look.shadowOpacity > 0) {
        Mask shadow =
            blur(shifted(body, int(std::lround(look.shadowDx)), int(std::lround(look.shadowDy))),
                 look.shadowBlur);
        paint(image, shadow, look.shadow, look.shadowOpacity);
    }
    if (look.glowRadius > 0) {
        Mask halo = blur(body, look.glowRadius);
        addLight(image, scaled(halo, 1.6f), look.glow);
    }
    if (look.outlineWidth > 0) paint(image, body, look.outline);
    // The gradient is laid over real pixel rows.
    float top = look.fillTop * float(pictureScale()),
          bottom = look.fillBottom * float(pictureScale());
    if (top == bottom) {
        auto rows = inkRows(letters);
        top = float(rows.first);
        bottom = float(rows.second);
    }
    Image fill(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        float t = clamp01((y + 0.5f - top) / std::max(1.0f, bottom - top));
        Rgb c = mix(look.top, look.bottom, t);
        if (look.shine > 0) {
            float band = std::exp(-std::pow((t - 0.32f) / 0.1f, 2.0f));
            c = c + Rgb{1, 1, 1} * (band * look.shine);
        }
        for (int x = 0; x < image.width; ++x)
            fill.at(x, y) = c;
    }
    paint(image, letters, fill);
}
