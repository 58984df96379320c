// Temporary stand-in until the camera lands.
#include "render/camera.h"

Camera camera;

void Camera::position(float ex, float ey, float ez, float cx, float cy, float cz, float ux,
                      float uy, float uz) {
    eye = {ex, ey, ez};
    center = {cx, cy, cz};
    up = {ux, uy, uz};
}
void Camera::move(float, float, float, float) {}
void Camera::turn(float, float, float, float) {}
void Camera::lookAt(Vec3) {}
void Camera::orbit(Vec3, float, float, float, float) {}
void Camera::apply() const {}
void processInput() {}
void resetCamera() { camera = Camera{}; }
