// Helpers for the scene tests: the run-wide GL state the loading screen leaves behind, a fresh
// scene table, camera and overlays, and textures of known content to read pixels against. It
// brings what every scene test uses: the scene table, the scenes, camera, overlays, data folder,
// GL and GoogleTest.
#pragma once

#include "app/scene_table.h"
#include "assets/data_folder.h"
#include "assets/texture.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/gfx.h"
#include "render/overlays.h"
#include "scenes/scenes.h"
#include "tests/gl_test_support.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

// Opens the shared context (false: no display), resets the table, camera and overlays, and
// sets the state every scene starts from: texturing and depth test on, the show's projection.
bool prepareSceneTest(std::uint32_t tick);

// A w x h RGBA texture with nearest filtering; `rgba` holds the rows from t = 0 on.
Texture makeTexture(int width, int height, const std::vector<std::uint8_t>& rgba);
Texture solidTexture(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255);
// The texture's level 0 as RGB, rows from t = 0 on.
std::vector<std::uint8_t> readTexture(Texture texture, int width, int height);

// Presents a picture of one colour, so that a later check can tell whether a frame presented.
void presentMarker(std::uint8_t r, std::uint8_t g, std::uint8_t b);
// The pixel of the last presented picture, y from the top.
Rgb presentedPixel(int x, int y);

// Moves the virtual clock to `tick`, runs `frame` once and presents, as the main loop does.
void frameAt(std::uint32_t tick, void (*frame)());
// Moves the virtual clock to `tick` and steps and draws `scene` as a live face of the interlude
// (nothing is presented).
void liveFaceAt(std::uint32_t tick, const Scene& scene);
