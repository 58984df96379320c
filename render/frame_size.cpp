#include "render/frame_size.h"

#include "app/app_state.h"
#include "platform/platform.h"
#include <GL/gl.h>
#include <cmath>
#include <vector>

namespace {

struct FrameSizedTexture {
    Texture* slot;
    int screenSide;
    int side; // pixels it was made with
};
std::vector<FrameSizedTexture> frameSizedTextures;

double pixelsPerUnit() {
    const double units = appState.screenWidth ? appState.screenWidth : 640;
    return platform::frameWidth() / units;
}

} // namespace

int framePixels(int screenUnits) {
    if (screenUnits <= 0) return 0;
    const int pixels = static_cast<int>(std::lround(screenUnits * pixelsPerUnit()));
    return pixels < 1 ? 1 : pixels;
}

void setFrameViewport(int screenWidth, int screenHeight) {
    glViewport(0, 0, framePixels(screenWidth), framePixels(screenHeight));
}

void copyFrameIntoTexture(Texture texture, int screenWidth, int screenHeight) {
    const int width = framePixels(screenWidth), height = framePixels(screenHeight);
    platform::resolvePicture(0, 0, width, height);
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

void createFrameSizedTexture(Texture* textures, int screenSide, int index) {
    const int side = framePixels(screenSide);
    createEmptyTexture(textures, side, side, index);
    Texture* slot = &textures[index];
    for (FrameSizedTexture& known : frameSizedTextures)
        if (known.slot == slot) {
            known = {slot, screenSide, side};
            return;
        }
    frameSizedTextures.push_back({slot, screenSide, side});
}

void followFrameSize() {
    for (FrameSizedTexture& known : frameSizedTextures) {
        if (*known.slot == 0) continue;
        const int side = framePixels(known.screenSide);
        if (side == known.side) continue;
        Texture remade = 0;
        createEmptyTexture(&remade, side, side, 0);
        platform::scaleSquareTexture(*known.slot, known.side, remade, side);
        glDeleteTextures(1, known.slot);
        *known.slot = remade;
        known.side = side;
    }
}
