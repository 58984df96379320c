#include "render/matrix.h"

#include <cmath>

Mat4 Mat4::identity() { return Mat4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }

Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 product{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            product.m[column * 4 + row] = sum;
        }
    return product;
}

Mat4 perspectiveMatrix(double fovYDegrees, double aspect, double zNear, double zFar) {
    const double f = 1.0 / std::tan(fovYDegrees * M_PI / 360.0);
    const double depth = zNear - zFar;
    Mat4 p{};
    p.m[0] = static_cast<float>(f / aspect);
    p.m[5] = static_cast<float>(f);
    p.m[10] = static_cast<float>((zFar + zNear) / depth);
    p.m[11] = -1;
    p.m[14] = static_cast<float>(2 * zFar * zNear / depth);
    return p;
}

Mat4 orthoMatrix(double left, double right, double bottom, double top, double zNear, double zFar) {
    Mat4 o = Mat4::identity();
    o.m[0] = static_cast<float>(2 / (right - left));
    o.m[5] = static_cast<float>(2 / (top - bottom));
    o.m[10] = static_cast<float>(-2 / (zFar - zNear));
    o.m[12] = static_cast<float>(-(right + left) / (right - left));
    o.m[13] = static_cast<float>(-(top + bottom) / (top - bottom));
    o.m[14] = static_cast<float>(-(zFar + zNear) / (zFar - zNear));
    return o;
}

namespace {

void normalize(float v[3]) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0) return;
    for (int i = 0; i < 3; ++i)
        v[i] /= length;
}

void cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

Mat4 lookAtMatrix(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ,
                  float upX, float upY, float upZ) {
    float forward[3] = {centerX - eyeX, centerY - eyeY, centerZ - eyeZ};
    normalize(forward);
    const float up[3] = {upX, upY, upZ};
    float side[3];
    cross(forward, up, side);
    normalize(side);
    float trueUp[3];
    cross(side, forward, trueUp);
    Mat4 view = Mat4::identity();
    for (int i = 0; i < 3; ++i) {
        view.m[i * 4 + 0] = side[i];
        view.m[i * 4 + 1] = trueUp[i];
        view.m[i * 4 + 2] = -forward[i];
    }
    return view * translationMatrix(-eyeX, -eyeY, -eyeZ);
}

Mat4 rotationMatrix(float degrees, float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return Mat4::identity();
    x /= length;
    y /= length;
    z /= length;
    const float radians = degrees * static_cast<float>(M_PI / 180.0);
    const float s = std::sin(radians), c = std::cos(radians), t = 1 - c;
    Mat4 r = Mat4::identity();
    r.m[0] = x * x * t + c;
    r.m[1] = y * x * t + z * s;
    r.m[2] = x * z * t - y * s;
    r.m[4] = x * y * t - z * s;
    r.m[5] = y * y * t + c;
    r.m[6] = y * z * t + x * s;
    r.m[8] = x * z * t + y * s;
    r.m[9] = y * z * t - x * s;
    r.m[10] = z * z * t + c;
    return r;
}

Mat4 translationMatrix(float x, float y, float z) {
    Mat4 t = Mat4::identity();
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    return t;
}

Mat4 scaleMatrix(float x, float y, float z) {
    Mat4 s = Mat4::identity();
    s.m[0] = x;
    s.m[5] = y;
    s.m[10] = z;
    return s;
}

void transformPoint(const Mat4& matrix, const float point[3], float out[4]) {
    for (int row = 0; row < 4; ++row)
        out[row] = matrix.m[row] * point[0] + matrix.m[4 + row] * point[1] +
                   matrix.m[8 + row] * point[2] + matrix.m[12 + row];
}
