// The shared look-at camera and the per-frame key polling that moves it.
#pragma once

#include "assets/vector.h"
#include <cstdint>

struct Camera {
    Vec3 eye{0, 0, 0};
    Vec3 center{0, 0, -1};
    Vec3 up{0, 1, 0};

    void position(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ,
                  float upX, float upY, float upZ);
    void move(float amount, float right, float up, float back);
    void turn(float angle, float pitch, float yaw, float roll);
    void lookAt(Vec3 point);
    void orbit(Vec3 pivot, float angle, float pitch, float yaw, float roll);
    // Loads the model-view matrix of the view from `eye` towards `center`.
    void apply() const;
};

extern Camera camera;

// Once per main-loop iteration before the current frame: polls the camera keys.
void processInput();
// Back to the initial camera and a fresh input clock (tests).
void resetCamera();
