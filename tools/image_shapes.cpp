#include "tools/image_shapes.h"

#include <algorithm>
#include <cmath>

float sdCircle(Point p, Point c, float radius) { return std::hypot(p.x - c.x, p.y - c.y) - radius; }

float sdSegment(Point p, Point a, Point b, float radius) {
    float px = p.x - a.x, py = p.y - a.y, bx = b.x - a.x, by = b.y - a.y;
    float len2 = bx * bx + by * by;
    float t = len2 > 0 ? clamp01((px * bx + py * by) / len2) : 0;
    return std::hypot(px - bx * t, py - by * t) - radius;
}

float sdBox(Point p, Point c, float hw, float hh, float radius) {
    float dx = std::fabs(p.x - c.x) - (hw - radius), dy = std::fabs(p.y - c.y) - (hh - radius);
    float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
    return outside + std::min(std::max(dx, dy), 0.0f) - radius;
}

float sdPolygon(Point p, const std::vector<Point>& v) {
    float best = 1e30f;
    bool inside = false;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
        Point a = v[j], b = v[i];
        float ex = b.x - a.x, ey = b.y - a.y, wx = p.x - a.x, wy = p.y - a.y;
        float len2 = ex * ex + ey * ey;
        float t = len2 > 0 ? clamp01((wx * ex + wy * ey) / len2) : 0;
        float dx = wx - ex * t, dy = wy - ey * t;
        best = std::min(best, dx * dx + dy * dy);
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) / (b.y - a.y) * ex)
            inside = !inside;
    }
    float d = std::sqrt(best);
    return inside ? -d : d;
}

std::vector<Point> starPolygon(Point c, int points, float outer, float inner, float rotation) {
    std::vector<Point> v;
    for (int i = 0; i < points * 2; ++i) {
        float a = rotation + float(i) * 3.14159265f / float(points);
        float r = (i % 2 == 0) ? outer : inner;
        v.push_back({c.x + r * std::sin(a), c.y - r * std::cos(a)});
    }
    return v;
}

Mask shapeMask(int width, int height, const std::function<float(Point)>& distance) {
    Mask m(width, height);
    const int k = pictureScale();
    // The design box that covers the whole mask (rounded up when a size is not a multiple).
    addShape(m, distance, 0, 0, (width + k - 1) / k, (height + k - 1) / k);
    return m;
}

void addShape(Mask& mask, const std::function<float(Point)>& distance, int x0, int y0, int x1,
              int y1) {
    const int k = pictureScale();
    const float scale = float(k);
    x0 = std::max(0, x0 * k);
    y0 = std::max(0, y0 * k);
    x1 = std::min(mask.width, x1 * k);
    y1 = std::min(mask.height, y1 * k);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            float c = coverage(distance({(x + 0.5f) / scale, (y + 0.5f) / scale}));
            float& m = mask.at(x, y);
            m = std::max(m, c);
        }
    }
}
