// Scene 7: a textured star flies in, tumbles and flies out while its shape blends back and
// forth between the two star models.
#pragma once

#include "assets/texture.h"
#include <cstdint>
#include <string>

struct Model;

// Slot 0 "nosmorking.jpg" (background, also a face of the interlude cube), slot 1 "texture.jpg".
extern Texture morphTextures[2];

// Everything the scene keeps between frames; lives for the whole run.
struct StarMorphState {
    int loadStep = 0;
    int morphPhase = 0; // 0 flying in, 1 tumbling, 2 flying out
    float starX = -22;
    float starSpin = 0.05f; // degrees per ms
    float starAngleX = 0, starAngleY = 0, starAngleZ = 0;
    float morphFactor = 0; // 0 = models[0], 1 = models[1]
    float morphSpeed = 0.001f;
    bool started = false;
    std::uint32_t morphTick = 0;
    std::uint32_t morphStart = 0;
};

extern StarMorphState morph;

// True when the two models can be drawn as one morphing mesh: the same number of objects,
// object for object the same number of faces, and every face's indices inside its own object's
// vertices, normals and texture coordinates (and the other model's, for the paired face).
bool modelsMorphable(const Model& a, const Model& b);
// Why they cannot, in words naming the files ("" when they can).
std::string morphMismatch(const Model& a, const Model& b, const std::string& nameA = "tahti.3ds",
                          const std::string& nameB = "tahti2.3ds");
// True when the model can be drawn by itself: every face inside its object's vertices
// (texture coordinates are not needed).
bool drawableAlone(const Model& model);

// Back to the state before loading (tests). Does not touch the textures or the models.
void resetMorph();
