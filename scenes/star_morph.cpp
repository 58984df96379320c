#include "scenes/star_morph.h"

#include "assets/data_folder.h"
#include "assets/model.h"
#include "assets/model_reader.h"
#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "scenes/scenes.h"
#include <GL/gl.h>
#include <algorithm>
#include <cstddef>
#include <vector>

Texture morphTextures[2] = {};
StarMorphState morph;

void resetMorph() { morph = StarMorphState{}; }

namespace {

constexpr std::uint32_t flyOutAfter = 16000; // ms after the first frame
constexpr float starSpeed = 0.004f;          // units per ms
constexpr float starEndX = 22;
constexpr float tumbleSpin = 0.08f;
constexpr float morphRate = 0.001f;

// One reader serves both star files.
ModelReader modelReader;

template <class T> bool holds(const std::vector<T>& array, int count) {
    return count >= 0 && array.size() >= static_cast<std::size_t>(count);
}

bool objectUsable(const ModelObject& object) {
    return holds(object.vertices, object.vertexCount) &&
           holds(object.normals, object.vertexCount) &&
           holds(object.texCoords, object.texCoordCount) && holds(object.faces, object.faceCount);
}

bool indexInRange(int index, int count) { return index >= 0 && index < count; }

} // namespace

bool modelsMorphable(const Model& a, const Model& b) {
    if (a.objectCount <= 0 || a.objectCount != b.objectCount) return false;
    if (!holds(a.objects, a.objectCount) || !holds(b.objects, b.objectCount)) return false;
    for (int j = 0; j < a.objectCount; ++j) {
        const ModelObject& objectA = a.objects[j];
        const ModelObject& objectB = b.objects[j];
        if (!objectUsable(objectA) || !objectUsable(objectB)) return false;
        if (objectA.faceCount != objectB.faceCount) return false;
        // Texture coordinates come from the first model only.
        const int rangeA = std::min(objectA.vertexCount, objectA.texCoordCount);
        for (int l = 0; l < objectA.faceCount; ++l) {
            for (int m = 0; m < 3; ++m) {
                if (!indexInRange(objectA.faces[l].vertexIndex[m], rangeA)) return false;
                if (!indexInRange(objectB.faces[l].vertexIndex[m], objectB.vertexCount))
                    return false;
            }
        }
    }
    return true;
}

namespace {

int morphLoad() {
    switch (morph.loadStep) {
    case 0:
        loadJpegTexture(morphTextures, "nosmorking.jpg", 0);
        break;
    case 1:
        loadJpegTexture(morphTextures, "texture.jpg", 1);
        break;
    case 2:
        modelReader.load(models[0], dataPath("tahti.3ds").c_str());
        break;
    case 3:
        modelReader.load(models[1], dataPath("tahti2.3ds").c_str());
        break;
    default:
        return 1;
    }
    ++morph.loadStep;
    return morph.loadStep == 4 ? 1 : 0;
}

// Blends back and forth between the two shapes, one second each way. A long frame stops the
// blend exactly at its end; the rest of that step is lost.
void stepMorph(float dt) {
    morph.morphFactor += dt * morph.morphSpeed;
    if (morph.morphFactor >= 1 && morph.morphSpeed == morphRate) {
        morph.morphSpeed = -morphRate;
        morph.morphFactor = 1;
    } else if (morph.morphFactor <= 0 && morph.morphSpeed == -morphRate) {
        morph.morphSpeed = morphRate;
        morph.morphFactor = 0;
    }
}

void stepMotion(float dt) {
    if (morph.morphPhase == 1) {
        morph.starAngleX -= dt * morph.starSpin * 0.8f;
        morph.starAngleY += dt * morph.starSpin * 1.5f;
        morph.starAngleZ += dt * morph.starSpin * 1.1f;
        return;
    }
    morph.starX += dt * starSpeed;
    morph.starAngleY += dt * morph.starSpin;
    if (morph.starX >= 0 && morph.morphPhase == 0) {
        morph.starX = 0;
        morph.morphPhase = 1;
        morph.starSpin = tumbleSpin;
    } else if (morph.morphPhase == 2 && morph.starX >= starEndX) {
        advanceScene();
    }
}

Vec3 blend(Vec3 from, Vec3 to, float t) {
    return Vec3{from.x + t * (to.x - from.x), from.y + t * (to.y - from.y),
                from.z + t * (to.z - from.z)};
}

// Pairs object j with object j and face l with face l; the second model's faces are walked in
// the opposite winding. Only called on models that passed modelsMorphable.
void drawStar(const Model& a, const Model& b, float t) {
    constexpr int pairedCorner[3] = {0, 2, 1};
    for (int j = 0; j < a.objectCount; ++j) {
        const ModelObject& objectA = a.objects[j];
        const ModelObject& objectB = b.objects[j];
        glBindTexture(GL_TEXTURE_2D, morphTextures[1]);
        glBegin(GL_TRIANGLES);
        for (int l = 0; l < objectA.faceCount; ++l) {
            for (int m = 0; m < 3; ++m) {
                const int f = objectA.faces[l].vertexIndex[m];
                const int g = objectB.faces[l].vertexIndex[pairedCorner[m]];
                const Vec3 normal = blend(objectA.normals[f], objectB.normals[g], t);
                const Vec3 vertex = blend(objectA.vertices[f], objectB.vertices[g], t);
                glNormal3f(normal.x, normal.y, normal.z);
                glTexCoord2f(objectA.texCoords[f].x, objectA.texCoords[f].y);
                glVertex3f(vertex.x, vertex.y, vertex.z);
            }
        }
        glEnd();
    }
}

void morphAdvance(View) {
    const std::uint32_t now = platform::tickCount();
    if (!morph.started) {
        morph.started = true;
        morph.morphTick = now;
        morph.morphStart = now;
    }
    if (now - morph.morphStart >= flyOutAfter && morph.morphPhase == 1) morph.morphPhase = 2;
    camera.position(0, 0, 22, 0, 0, -1, 0, 1, 0);

    const float dt = static_cast<float>(now - morph.morphTick);
    stepMorph(dt);
    stepMotion(dt);
    morph.morphTick = now;
}

void morphDraw(View) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawBackdrop(morphTextures[0], 0.125f, 0.875f); // middle three quarters
    camera.apply();
    glTranslatef(morph.starX, 0, 0);
    glRotatef(morph.starAngleX, 1, 0, 0);
    glRotatef(morph.starAngleY, 0, 1, 0);
    glRotatef(morph.starAngleZ, 0, 0, 1);
    // Mismatched or broken star files draw no star; the background and timing go on.
    if (modelsMorphable(models[0], models[1])) drawStar(models[0], models[1], morph.morphFactor);
}

void morphFrame() {
    morphAdvance(View::Frame);
    morphDraw(View::Frame);
}

void morphUnload() {
    glDeleteTextures(2, morphTextures);
    morphTextures[0] = morphTextures[1] = 0;
    releaseModel(models[0]);
    releaseModel(models[1]);
}

} // namespace

const Scene starMorphScene{morphLoad,   morphFrame,   noOperation,
                           morphUnload, morphAdvance, morphDraw};
