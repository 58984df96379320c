#include "scenes/interlude.h"

#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "render/frame_size.h"
#include "render/gfx.h"
#include "render/overlays.h"
#include "scenes/cube_grid.h"
#include "scenes/live_view.h"
#include "scenes/scenes.h"
#include "scenes/star_morph.h"
#include "scenes/swarm.h"
#include <cmath>
#include <vector>

Texture interludeTextures[6] = {};
Texture interludeTrailTexture = 0;
InterludeState interlude;

void resetInterlude() { interlude = InterludeState{}; }

namespace {

constexpr int tilesPerSide = 20;
constexpr float tileSize = 0.05f; // in texture units; 0.2 world units

int interludeLoad() {
    switch (interlude.loadStep) {
    case 0:
        createFrameSizedTexture(interludeTextures, liveFaceSize, liveFaceSize, 0);
        createFrameSizedTexture(&interludeTrailTexture, screenUnitsWide, screenUnitsHigh, 0);
        break;
    case 1:
        loadJpegTexture(interludeTextures, "texture.jpg", 1);
        break;
    case 2:
        createFrameSizedTexture(interludeTextures, liveFaceSize, liveFaceSize, 2);
        break;
    case 3:
        loadJpegTexture(interludeTextures, "kuutio.jpg", 3);
        break;
    default:
        return 1; // loaded by an earlier registration of the interlude
    }
    ++interlude.loadStep;
    return interlude.loadStep == 4 ? 1 : 0;
}

// Steps a scene shown live on a face. The camera's eye is put back afterwards; its centre and
// up stay as that scene set them.
void advanceLiveView(const Scene& scene) {
    const Vec3 eye = camera.eye;
    scene.advance(View::LiveFace);
    camera.eye = eye;
}

// Has a scene draw its live picture and takes it into our texture `slot`.
void drawLiveView(const Scene& scene, int slot) {
    scene.draw(View::LiveFace);
    copyFrameIntoTexture(interludeTextures[slot], liveFaceSize, liveFaceSize);
}

// Back at the near end: the occurrence is over and the next scene takes the screen.
void endOccurrence() {
    interlude.zoomSpeed = -interlude.zoomSpeed;
    camera.position(0, 0, interludeNearZ, 0, 0, -1, 0, 1, 0);
    ++interlude.stage;
    interlude.occurrenceStarting = true;
    endCurrentEntry();
}

void moveCamera(std::uint32_t now) {
    const std::uint32_t stage = interlude.stage;
    if (stage >= 1 && stage <= 6) {
        const float elapsed = static_cast<float>(now - interlude.tick);
        camera.move(elapsed * interlude.zoomSpeed, 0, 0, 1);
        if (camera.eye.z >= interludeFarZ && interlude.zoomSpeed > 0) {
            interlude.zoomSpeed = -interlude.zoomSpeed;
            camera.position(0, 0, interludeFarZ, 0, 0, -1, 0, 1, 0);
            if (stage == 6) interlude.stage = 7;
        } else if (camera.eye.z <= interludeNearZ && interlude.zoomSpeed < 0) {
            endOccurrence();
        }
    } else if (stage == 7) {
        interlude.explodeDistance +=
            static_cast<float>(now - interlude.tick) * interludeExplodeSpeed;
        if (interlude.explodeDistance >= interludeExplodeEnd) interlude.stage = 8;
        // Per frame, not per ms: the camera slides faster at higher frame rates.
        camera.move(0.2f, 1, 0, 0);
        camera.move(0.2f, 0, 1, 0);
        camera.lookAt(Vec3{0, 0, 0});
    }
}

// Turns the cube so that the scene just ended faces the camera at the start of an occurrence
// and the next scene at its end; q runs from 0 at the near end to 1 at the far end.
void updateCubeAngles() {
    const float q = (camera.eye.z - interludeNearZ) * 0.05f;
    const bool out = interlude.zoomSpeed > 0;
    float& x = interlude.cubeAngleX;
    float& y = interlude.cubeAngleY;
    float& z = interlude.cubeAngleZ;
    switch (interlude.stage) {
    case 1:
        x = out ? 45 * q : 45 * (2 - q);
        y = 0;
        z = 0;
        break;
    case 2:
        x = 90;
        y = out ? 135 * q : 135 * (2 - q);
        z = out ? 45 * q : 45 * (2 - q);
        break;
    case 3:
        x = 90;
        y = out ? 270 + 45 * q : 315 + 45 * (1 - q);
        z = out ? 90 + 45 * q : 135 + 45 * (1 - q);
        break;
    case 4:
        x = out ? 90 + 45 * q : 135 + 45 * (1 - q);
        y = 0;
        z = 180;
        break;
    case 5:
        x = 180;
        y = out ? 45 * q : 45 * (2 - q);
        z = 180;
        break;
    case 6:
        x = 180 - 180 * q;
        y = 90 - 90 * q;
        z = 180 - 180 * q;
        break;
    default:
        break; // exploding or finished: the cube keeps its last angles
    }
}

// A face lies in the plane z = 2, x and y from -2 to 2, the picture upright on it.
void drawWholeFace() {
    const float face[] = {0, 0, -2, 2, 2, 1, 0, 2, 2, 2, 1, 1, 2, -2, 2, 0, 1, -2, -2, 2};
    gfx::draw(gfx::texturedLayout, face, 4, gfx::Primitive::Quads);
}

// The exploding face as 20 x 20 tiles, each pushed by distance d out of the face and away from
// its centre; the caller sets the tint and blending and draws them on every face.
std::vector<float> flyingTiles(float d) {
    std::vector<float> tiles;
    tiles.reserve(tilesPerSide * tilesPerSide * 4 * 5);
    for (int column = 0; column < tilesPerSide; ++column) {
        const float e = static_cast<float>(column) * tileSize;
        for (int row = 0; row < tilesPerSide; ++row) {
            const float f = static_cast<float>(row) * tileSize;
            const float x = 4 * e - 2 + 2 * (e - 0.5f) * d;
            const float y = 2 - 4 * f + 2 * (0.5f - f) * d;
            const float z = 2 + d;
            tiles.insert(tiles.end(), {e,
                                       f,
                                       x,
                                       y,
                                       z,
                                       e + tileSize,
                                       f,
                                       x + 0.2f,
                                       y,
                                       z,
                                       e + tileSize,
                                       f + tileSize,
                                       x + 0.2f,
                                       y - 0.2f,
                                       z,
                                       e,
                                       f + tileSize,
                                       x,
                                       y - 0.2f,
                                       z});
        }
    }
    return tiles;
}

void drawCube() {
    struct Face {
        const Texture* texture;
        float rotations[2][4]; // angle, axis; angle 0 = no rotation
    };
    const Face faces[6] = {
        {&cubeGridTextures[0], {{0, 0, 0, 0}, {0, 0, 0, 0}}},      // front: scene 1
        {&interludeTextures[0], {{-90, 1, 0, 0}, {180, 0, 0, 1}}}, // top: live tunnel
        {&interludeTextures[2], {{90, 0, 1, 0}, {180, 0, 0, 1}}},  // right: live hall
        {&morphTextures[0], {{90, 1, 0, 0}, {180, 0, 0, 1}}},      // bottom: scene 7
        {&swarmTextures[0], {{180, 0, 1, 0}, {0, 0, 0, 0}}},       // back: scene 9
        {&cubeGridTextures[0], {{-90, 0, 1, 0}, {0, 0, 0, 0}}},    // left: scene 1
    };
    const bool exploding = interlude.stage == 7;
    const float d = interlude.explodeDistance;
    const std::vector<float> tiles = exploding ? flyingTiles(d) : std::vector<float>{};
    if (exploding) {
        // Tinted alternately red and cyan as the tiles fly, fading out by distance 30.
        const float tint = 0.5f * std::sin(d);
        gfx::setBlend(true);
        gfx::blendAlpha();
        gfx::setColor(1 + tint, 1 - tint, 1 - tint, 1 - d / interludeExplodeEnd);
    } else {
        // The whole cube is closed and opaque: faces turned away from the camera are hidden.
        // Its faces wind clockwise seen from outside.
        gfx::setFrontClockwise(true);
        gfx::setCulling(true);
    }
    for (const Face& face : faces) {
        gfx::pushMatrix();
        gfx::bindTexture(*face.texture);
        for (const auto& r : face.rotations)
            if (r[0] != 0) gfx::rotate(r[0], r[1], r[2], r[3]);
        if (exploding)
            gfx::draw(gfx::texturedLayout, tiles.data(), static_cast<int>(tiles.size() / 5),
                      gfx::Primitive::Quads);
        else
            drawWholeFace();
        gfx::popMatrix();
    }
    if (exploding) {
        gfx::setBlend(false);
        gfx::setColor(1, 1, 1, 1);
    } else {
        gfx::setCulling(false);
        gfx::setFrontClockwise(false);
    }
}

void interludeAdvance(View) {
    const std::uint32_t stage = interlude.stage;
    interlude.liveTunnel = stage == 1 || stage == 2;
    interlude.liveHall = stage == 2 || stage == 3;
    if (interlude.liveTunnel) advanceLiveView(tunnelScene);
    if (interlude.liveHall) advanceLiveView(hallScene);
    interlude.firstFrame = stage == 0;

    const std::uint32_t now = platform::tickCount();
    if (!interlude.ticking) {
        interlude.ticking = true;
        interlude.tick = now;
        interlude.occurrenceStarting = false;
    }
    if (interlude.occurrenceStarting) {
        interlude.tick = now;
        interlude.occurrenceStarting = false;
        camera.position(0, 0, interludeNearZ, 0, 0, -1, 0, 1, 0);
    }

    if (interlude.stage == 0) {
        // Only the eye: the view stays aimed where the scene before left it.
        camera.eye = Vec3{0, 0, interludeNearZ};
        interlude.stage = 1;
    }

    moveCamera(now);
    if (!interlude.occurrenceStarting) interlude.tick = now;
    updateCubeAngles();
    advanceFade();
}

void interludeDraw(View) {
    if (interlude.liveTunnel) drawLiveView(tunnelScene, 0);
    if (interlude.liveHall) drawLiveView(hallScene, 2);

    setFrameViewport(screenUnitsWide, screenUnitsHigh);
    gfx::clear(true, true);
    // From the second frame on the trail, last frame's picture at 70%, lies over the backdrop.
    if (interlude.firstFrame)
        drawBackdrop(interludeTextures[3]);
    else
        drawBackdropUnderScreenCopy(interludeTextures[3], interludeTrailTexture, 0.7f);

    camera.apply();
    gfx::rotate(interlude.cubeAngleX, 1, 0, 0);
    gfx::rotate(interlude.cubeAngleY, 0, 1, 0);
    gfx::rotate(interlude.cubeAngleZ, 0, 0, 1);
    if (interlude.stage <= 7) drawCube();

    // The next frame's trail.
    copyFrameIntoTexture(interludeTrailTexture, screenUnitsWide, screenUnitsHigh);
    drawFade();
}

void interludeFrame() {
    interludeAdvance(View::Frame);
    interludeDraw(View::Frame);
}

// A white flash on the first note of the marked instrument; no GL calls here.
void interludeMusicSync(int value) {
    if (value == 0) fadeOverlay(true, 0.005f, 1, 1, 1);
}

// Runs once per registration (six times); the slots are cleared so later calls do nothing.
void interludeUnload() {
    gfx::deleteTextures(interludeTextures, 6);
    for (Texture& t : interludeTextures)
        t = 0;
    gfx::deleteTexture(interludeTrailTexture);
}

} // namespace

const Scene interludeScene{interludeLoad,   interludeFrame,      interludeMusicSync,
                           interludeUnload, interludeAdvance,    interludeDraw,
                           "interlude",     SceneKind::Interlude};
