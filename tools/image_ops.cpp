#include "tools/image_ops.h"

#include <algorithm>
#include <cmath>

void paint(Image& image, const Mask& mask, Rgb colour, float opacity) {
    for (std::size_t i = 0; i < image.data.size(); ++i) {
        image.data[i] = mix(image.data[i], colour, clamp01(mask.data[i]) * opacity);
    }
}

void paint(Image& image, const Mask& mask, const Image& source, float opacity) {
    for (std::size_t i = 0; i < image.data.size(); ++i) {
        image.data[i] = mix(image.data[i], source.data[i], clamp01(mask.data[i]) * opacity);
    }
}

void addLight(Image& image, const Mask& mask, Rgb colour) {
    for (std::size_t i = 0; i < image.data.size(); ++i)
        image.data[i] += colour * mask.data[i];
}

void darken(Image& image, const Mask& mask, Rgb colour) {
    for (std::size_t i = 0; i < image.data.size(); ++i) {
        image.data[i] = image.data[i] * mix(Rgb{1, 1, 1}, colour, clamp01(mask.data[i]));
    }
}

void fillWith(Image& image, const std::function<Rgb(float, float)>& shade) {
    const float k = float(pictureScale());
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) = shade((x + 0.5f) / k, (y + 0.5f) / k);
    }
}

void fillWith(Mask& mask, const std::function<float(float, float)>& shade) {
    const float k = float(pictureScale());
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x)
            mask.at(x, y) = shade((x + 0.5f) / k, (y + 0.5f) / k);
    }
}

namespace {

// One box pass of half-width r along rows (dx = 1) or columns, with a running sum.
template <class T> Grid<T> boxPass(const Grid<T>& in, int r, bool horizontal, bool wrap) {
    Grid<T> out(in.width, in.height);
    int lines = horizontal ? in.height : in.width;
    int length = horizontal ? in.width : in.height;
    float norm = 1.0f / float(2 * r + 1);
    auto get = [&](int line, int i) -> const T& {
        int x = horizontal ? i : line;
        int y = horizontal ? line : i;
        return wrap ? in.wrapped(x, y) : in.clamped(x, y);
    };
    for (int line = 0; line < lines; ++line) {
        T sum{};
        for (int i = -r; i <= r; ++i)
            sum = sum + get(line, i);
        for (int i = 0; i < length; ++i) {
            (horizontal ? out.at(i, line) : out.at(line, i)) = sum * norm;
            sum = sum + get(line, i + r + 1);
            sum = sum - get(line, i - r);
        }
    }
    return out;
}

template <class T> Grid<T> blurGrid(const Grid<T>& in, float radius, bool wrap) {
    // Three box passes of width w approximate a Gaussian with sigma^2 = 3 (w^2 - 1) / 12. The
    // width is chosen in design pixels and then scaled (to the next odd width), so a picture at
    // any scale is blurred exactly as much as the classic one: outlines grown from a blur keep
    // their width and fill the same small gaps.
    int designR = std::max(0, int(std::lround(radius / 1.7f)));
    if (designR == 0) return in;
    int r = pictureScale() * (2 * designR + 1) / 2;
    Grid<T> g = in;
    for (int pass = 0; pass < 3; ++pass) {
        g = boxPass(g, r, true, wrap);
        g = boxPass(g, r, false, wrap);
    }
    return g;
}

// Weights of the source cells [i, i + 1) overlapping output cell o scaled by `ratio`.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> spans(int from, int to) {
    std::vector<Span> result(to);
    double ratio = double(from) / to;
    for (int o = 0; o < to; ++o) {
        double a = o * ratio, b = (o + 1) * ratio;
        int i0 = int(std::floor(a));
        int i1 = std::min(from - 1, int(std::ceil(b)) - 1);
        result[o].first = i0;
        for (int i = i0; i <= i1; ++i) {
            double w = std::min(b, double(i + 1)) - std::max(a, double(i));
            result[o].weights.push_back(float(w / ratio));
        }
    }
    return result;
}

template <class T> Grid<T> resizeGrid(const Grid<T>& in, int width, int height) {
    std::vector<Span> xs = spans(in.width, width), ys = spans(in.height, height);
    Grid<T> mid(width, in.height);
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < width; ++x) {
            T sum{};
            const Span& s = xs[x];
            for (std::size_t k = 0; k < s.weights.size(); ++k)
                sum = sum + in.at(s.first + int(k), y) * s.weights[k];
            mid.at(x, y) = sum;
        }
    }
    Grid<T> out(width, height);
    for (int y = 0; y < height; ++y) {
        const Span& s = ys[y];
        for (int x = 0; x < width; ++x) {
            T sum{};
            for (std::size_t k = 0; k < s.weights.size(); ++k)
                sum = sum + mid.at(x, s.first + int(k)) * s.weights[k];
            out.at(x, y) = sum;
        }
    }
    return out;
}

} // namespace

Mask blur(const Mask& mask, float radius, bool wrap) { return blurGrid(mask, radius, wrap); }
Image blur(const Image& image, float radius, bool wrap) { return blurGrid(image, radius, wrap); }

Mask maxOf(const Mask& a, const Mask& b) {
    Mask out = a;
    for (std::size_t i = 0; i < out.data.size(); ++i)
        out.data[i] = std::max(a.data[i], b.data[i]);
    return out;
}

Mask minus(const Mask& a, const Mask& b) {
    Mask out = a;
    for (std::size_t i = 0; i < out.data.size(); ++i)
        out.data[i] *= 1 - clamp01(b.data[i]);
    return out;
}

Mask scaled(const Mask& mask, float factor) {
    Mask out = mask;
    for (float& v : out.data)
        v = clamp01(v * factor);
    return out;
}

Mask shifted(const Mask& mask, int dx, int dy, bool wrap) {
    dx *= pictureScale();
    dy *= pictureScale();
    Mask out(mask.width, mask.height);
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            int sx = x - dx, sy = y - dy;
            if (wrap) {
                out.at(x, y) = mask.wrapped(sx, sy);
            } else if (sx >= 0 && sy >= 0 && sx < mask.width && sy < mask.height) {
                out.at(x, y) = mask.at(sx, sy);
            }
        }
    }
    return out;
}

Image resized(const Image& image, int width, int height) {
    return resizeGrid(image, width, height);
}
Mask resized(const Mask& mask, int width, int height) { return resizeGrid(mask, width, height); }

void blit(Image& target, const Image& source, int x, int y) {
    for (int sy = 0; sy < source.height; ++sy) {
        int ty = y + sy;
        if (ty < 0 || ty >= target.height) continue;
        for (int sx = 0; sx < source.width; ++sx) {
            int tx = x + sx;
            if (tx >= 0 && tx < target.width) target.at(tx, ty) = source.at(sx, sy);
        }
    }
}
