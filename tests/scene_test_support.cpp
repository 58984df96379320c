#include "tests/scene_test_support.h"

#include "app/app.h"
#include "app/scene_table.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/overlays.h"
#include <GL/gl.h>

bool prepareSceneTest(std::uint32_t tick) {
    if (!ensureGlContext(tick)) return false;
    platform::setVirtualTick(tick);
    resetSceneTable();
    resetCamera();
    resetOverlays();
    platform::keepPresentedFrames(true);
    setupProjection();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDepthFunc(GL_LESS);
    glColor4f(1, 1, 1, 1);
    return true;
}

Texture makeTexture(int width, int height, const std::vector<std::uint8_t>& rgba) {
    Texture texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    return texture;
}

Texture solidTexture(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    return makeTexture(1, 1, {r, g, b, a});
}

std::vector<std::uint8_t> readTexture(Texture texture, int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

void presentMarker(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    glViewport(0, 0, platform::frameWidth(), platform::frameHeight());
    glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    platform::presentFrame();
}

Rgb presentedPixel(int x, int y) {
    const auto& picture = platform::lastPresentedFrame();
    if (picture.empty()) return {-1, -1, -1};
    const size_t at = (static_cast<size_t>(y) * platform::frameWidth() + x) * 3;
    return {picture[at], picture[at + 1], picture[at + 2]};
}

void frameAt(std::uint32_t tick, void (*frame)()) {
    platform::setVirtualTick(tick);
    frame();
    platform::presentFrame();
}

void liveFaceAt(std::uint32_t tick, const Scene& scene) {
    platform::setVirtualTick(tick);
    scene.advance(View::LiveFace);
    scene.draw(View::LiveFace);
}
