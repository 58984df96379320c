#include "assets/vector.h"

#include <cmath>

Vec3 vecSubtract(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 vecAdd(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

Vec3 vecDivide(Vec3 v, float s) {
    float r = 1.0f / s;
    return {v.x * r, v.y * r, v.z * r};
}

Vec3 vecCross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 vecNormalize(Vec3 v) {
    float r = 1.0f / std::sqrt(v.z * v.z + v.y * v.y + v.x * v.x);
    return {v.x * r, v.y * r, v.z * r};
}
