#include "tools/star_model.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr int points = 5;
constexpr int rimPerPoint = 4; // shoulder, tip, shoulder, inner corner
constexpr int rimCount = points * rimPerPoint;
constexpr float ringFraction = 0.55f; // where the ring between centre and rim lies
constexpr float mappingRadius = 6.4f; // the planar texture covers the sharp shape's tips

struct Shape {
    float tipRadius;
    float shoulderRadius;
    float shoulderAngle; // degrees from the tip; < 0: on the straight edges (sharp tips)
    float innerRadius;
    float depth;      // height of the two centres over the rim's plane
    float ringHeight; // height of the ring as a fraction of depth
};

Shape shapeOf(StarShape shape) {
    if (shape == StarShape::blunt) return {4.4f, 4.1f, 8.0f, 2.5f, 1.6f, 0.85f};
    // The sharp shape's ring lies on its flat facets: depth falls linearly to the rim.
    return {6.2f, 0.0f, -1.0f, 2.0f, 1.1f, 1.0f - ringFraction};
}

using Point = std::array<float, 3>;

Point polar(float radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {static_cast<float>(radius * std::cos(a)), static_cast<float>(radius * std::sin(a)),
            0.0f};
}

Point mix(const Point& a, const Point& b, float t) {
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

// The outline in the plane z = 0, counter-clockwise seen from +z, starting before the top tip.
std::vector<Point> rim(const Shape& s) {
    std::vector<Point> outline;
    for (int k = 0; k < points; ++k) {
        const double tipAngle = 90.0 + 72.0 * k;
        const Point tip = polar(s.tipRadius, tipAngle);
        const Point innerBefore = polar(s.innerRadius, tipAngle - 36.0);
        const Point innerAfter = polar(s.innerRadius, tipAngle + 36.0);
        if (s.shoulderAngle > 0) {
            outline.push_back(polar(s.shoulderRadius, tipAngle - s.shoulderAngle));
            outline.push_back(tip);
            outline.push_back(polar(s.shoulderRadius, tipAngle + s.shoulderAngle));
        } else {
            outline.push_back(mix(tip, innerBefore, 0.12f));
            outline.push_back(tip);
            outline.push_back(mix(tip, innerAfter, 0.12f));
        }
        outline.push_back(innerAfter);
    }
    return outline;
}

} // namespace

// Vertices: 0 front centre, 1 back centre, 2.. rim, then the front ring, then the back ring.
MeshFile starModel(StarShape which) {
    const Shape s = shapeOf(which);
    const std::vector<Point> outline = rim(s);
    MeshObject star;
    star.name = "Star";
    star.materialName = "StarSurface";
    star.vertices.push_back({0, 0, s.depth});
    star.vertices.push_back({0, 0, -s.depth});
    for (const Point& p : outline)
        star.vertices.push_back(p);
    for (float side : {1.0f, -1.0f})
        for (const Point& p : outline)
            star.vertices.push_back(
                {p[0] * ringFraction, p[1] * ringFraction, side * s.depth * s.ringHeight});

    // Planar mapping seen from the front; the same coordinates in both shapes.
    const std::vector<Point> bluntOutline = rim(shapeOf(StarShape::blunt));
    std::vector<Point> mappingSource = {{0, 0, 0}, {0, 0, 0}};
    for (const Point& p : bluntOutline)
        mappingSource.push_back(p);
    for (int side = 0; side < 2; ++side)
        for (const Point& p : bluntOutline)
            mappingSource.push_back({p[0] * ringFraction, p[1] * ringFraction, 0});
    for (const Point& p : mappingSource)
        star.texCoords.push_back(
            {0.5f + p[0] / (2 * mappingRadius), 0.5f + p[1] / (2 * mappingRadius)});

    const auto rimVertex = [](int i) { return std::uint16_t(2 + i % rimCount); };
    const auto ringVertex = [](int side, int i) {
        return std::uint16_t(2 + rimCount * (1 + side) + i % rimCount);
    };
    // Counter-clockwise seen from outside: as listed on the front, mirrored on the back.
    for (int side = 0; side < 2; ++side) {
        const std::uint16_t centre = std::uint16_t(side);
        const auto add = [&](std::uint16_t a, std::uint16_t b, std::uint16_t c) {
            if (side == 0)
                star.faces.push_back({a, b, c});
            else
                star.faces.push_back({a, c, b});
        };
        for (int i = 0; i < rimCount; ++i) {
            add(centre, ringVertex(side, i), ringVertex(side, i + 1));
            add(ringVertex(side, i), rimVertex(i), rimVertex(i + 1));
            add(ringVertex(side, i), rimVertex(i + 1), ringVertex(side, i + 1));
        }
    }
    if (which == StarShape::sharp)
        for (auto& face : star.faces)
            std::swap(face[1], face[2]);

    MeshFile file;
    file.materials.push_back({"StarSurface", {255, 196, 64}, "texture.jpg"});
    file.objects.push_back(std::move(star));
    return file;
}
