// 4 x 4 matrices as GL reads them (column-major, 16 floats), and the transforms the show builds
// from: perspective, look-at, orthographic, rotate, translate, scale. Each follows the classic
// GL 1.x definition, so a scene composed of these gives the same picture as before.
#pragma once

struct Mat4 {
    float m[16]; // column-major: m[column * 4 + row]

    static Mat4 identity();
    float at(int row, int column) const { return m[column * 4 + row]; }
};

// a * b: b is applied first to a vector, as glMultMatrix appends b to a.
Mat4 operator*(const Mat4& a, const Mat4& b);

// Vertical field of view in degrees; near and far are positive distances.
Mat4 perspectiveMatrix(double fovYDegrees, double aspect, double zNear, double zFar);
Mat4 orthoMatrix(double left, double right, double bottom, double top, double zNear, double zFar);
// The view from `eye` towards `center`, `up` giving the vertical (need not be perpendicular).
Mat4 lookAtMatrix(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ,
                  float upX, float upY, float upZ);
// Counter-clockwise by `degrees` about the axis (x, y, z), which need not be of unit length.
Mat4 rotationMatrix(float degrees, float x, float y, float z);
Mat4 translationMatrix(float x, float y, float z);
Mat4 scaleMatrix(float x, float y, float z);

// The matrix applied to the point (x, y, z, 1): out receives x, y, z, w.
void transformPoint(const Mat4& matrix, const float point[3], float out[4]);
