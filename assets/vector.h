// The shared vector types and the vector operations of the model code.
#pragma once

struct Vec3 {
    float x = 0, y = 0, z = 0;
    bool operator==(const Vec3&) const = default;
};

struct Vec2 {
    float x = 0, y = 0;
};

Vec3 vecSubtract(Vec3 a, Vec3 b);
Vec3 vecAdd(Vec3 a, Vec3 b);
Vec3 vecDivide(Vec3 v, float s);
Vec3 vecCross(Vec3 a, Vec3 b);
Vec3 vecNormalize(Vec3 v);
