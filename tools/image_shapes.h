// Anti-aliased shapes as signed distance functions (pixels, negative inside) and the masks they
// cover. Coverage falls from 1 to 0 across one pixel at the outline.
#pragma once

#include "tools/image.h"

#include <functional>
#include <vector>

struct Point {
    float x = 0, y = 0;
};

float sdCircle(Point p, Point centre, float radius);
// A capsule: the segment a-b thickened by `radius`.
float sdSegment(Point p, Point a, Point b, float radius);
// An axis-aligned box of half-size (hw, hh) with corners rounded by `radius`.
float sdBox(Point p, Point centre, float hw, float hh, float radius = 0);
// Any simple or self-intersecting polygon, even-odd inside test.
float sdPolygon(Point p, const std::vector<Point>& vertices);

// Vertices of a star with `points` tips, tips at radius `outer`, notches at `inner`; the first
// tip points at angle `rotation` (radians, 0 = up).
std::vector<Point> starPolygon(Point centre, int points, float outer, float inner, float rotation);

inline float coverage(float distance) { return clamp01(0.5f - distance); }

// Coverage of the shape over a width x height mask.
Mask shapeMask(int width, int height, const std::function<float(Point)>& distance);
// Same, accumulated into `mask` (union) within the box x0..x1, y0..y1 only.
void addShape(Mask& mask, const std::function<float(Point)>& distance, int x0, int y0, int x1,
              int y1);
