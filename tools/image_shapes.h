// Anti-aliased shapes as signed distance functions (design pixels, negative inside; see
// picture_scale.h) and the masks they cover. Coverage falls from 1 to 0 across one real pixel at
// the outline, at any scale.
#pragma once

#include "tools/image.h"
#include "tools/picture_scale.h"

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

// Coverage of a pixel whose centre lies `distance` design pixels outside an outline.
inline float coverage(float distance) { return clamp01(0.5f - distance * float(pictureScale())); }

// Coverage of the shape over a width x height mask (real pixels).
Mask shapeMask(int width, int height, const std::function<float(Point)>& distance);
// Same, accumulated into `mask` (union) within the design box x0..x1, y0..y1 only.
void addShape(Mask& mask, const std::function<float(Point)>& distance, int x0, int y0, int x1,
              int y1);
