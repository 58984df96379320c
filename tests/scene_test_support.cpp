#include "tests/scene_test_support.h"

#include "app/projection.h"
#include "app/scene_table.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/gfx.h"
#include "render/overlays.h"
#include "scenes/black_fog.h"

bool prepareSceneTest(std::uint32_t tick) {
    if (!ensureGlContext(tick)) return false;
    platform::setVirtualTick(tick);
    resetSceneTable();
    resetCamera();
    resetOverlays();
    platform::keepPresentedFrames(true);
    setupProjection();
    gfx::setDepthTest(true);
    gfx::setBlend(false);
    disableFog();
    gfx::setDepthLessOrEqual(false);
    gfx::setColor(1, 1, 1, 1);
    return true;
}

Texture makeTexture(int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4)
        rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    std::string error;
    const Texture texture = gfx::createTexture(width, height, rgb.data(), false, error);
    gfx::setTextureFilters(texture, gfx::Filter::Nearest, gfx::Filter::Nearest);
    return texture;
}

Texture solidTexture(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    return makeTexture(1, 1, {r, g, b, a});
}

std::vector<std::uint8_t> readTexture(Texture texture, int width, int height) {
    std::vector<std::uint8_t> rgb = gfx::readTexture(texture);
    rgb.resize(static_cast<size_t>(width) * height * 3);
    return rgb;
}

void presentMarker(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    gfx::setViewport(0, 0, platform::frameWidth(), platform::frameHeight());
    gfx::setClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1);
    gfx::clear(true, true);
    gfx::setClearColor(0, 0, 0, 1);
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
