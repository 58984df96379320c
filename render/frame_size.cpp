#include "render/frame_size.h"

#include "platform/platform.h"
#include "render/gfx.h"
#include <cmath>
#include <vector>

namespace {

struct FrameSizedTexture {
    Texture* slot;
    int screenWidth, screenHeight;
    int width, height; // pixels it was made with
};
std::vector<FrameSizedTexture> frameSizedTextures;

double pixelsPerUnit() { return platform::frameWidth() / static_cast<double>(screenUnitsWide); }

} // namespace

int framePixels(int screenUnits) {
    if (screenUnits <= 0) return 0;
    const int pixels = static_cast<int>(std::lround(screenUnits * pixelsPerUnit()));
    return pixels < 1 ? 1 : pixels;
}

void setFrameViewport(int screenWidth, int screenHeight) {
    gfx::setViewport(0, 0, framePixels(screenWidth), framePixels(screenHeight));
}

void copyFrameIntoTexture(Texture texture, int screenWidth, int screenHeight) {
    const int width = framePixels(screenWidth), height = framePixels(screenHeight);
    platform::resolvePicture(0, 0, width, height);
    gfx::copyReadFrameIntoTexture(texture, width, height);
}

void createFrameSizedTexture(Texture* textures, int screenWidth, int screenHeight, int index) {
    const int width = framePixels(screenWidth), height = framePixels(screenHeight);
    createEmptyTexture(textures, width, height, index);
    Texture* slot = &textures[index];
    const FrameSizedTexture made{slot, screenWidth, screenHeight, width, height};
    for (FrameSizedTexture& known : frameSizedTextures)
        if (known.slot == slot) {
            known = made;
            return;
        }
    frameSizedTextures.push_back(made);
}

void followFrameSize() {
    for (FrameSizedTexture& known : frameSizedTextures) {
        if (*known.slot == 0) continue;
        const int width = framePixels(known.screenWidth);
        const int height = framePixels(known.screenHeight);
        if (width == known.width && height == known.height) continue;
        Texture remade = 0;
        createEmptyTexture(&remade, width, height, 0);
        platform::scaleTexture(*known.slot, known.width, known.height, remade, width, height);
        gfx::deleteTexture(*known.slot);
        *known.slot = remade;
        known.width = width;
        known.height = height;
    }
}
