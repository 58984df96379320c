#include "scenes/star_morph.h"

#include "assets/data_folder.h"
#include "assets/load_report.h"
#include "assets/model.h"
#include "assets/model_reader.h"
#include "platform/platform.h"
#include "render/backdrop.h"
#include "render/camera.h"
#include "render/gfx.h"
#include "scenes/scenes.h"
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

// Every face's corners lie in [0, count).
bool facesInside(const ModelObject& object, int count) {
    for (int l = 0; l < object.faceCount; ++l)
        for (int m = 0; m < 3; ++m)
            if (!indexInRange(object.faces[l].vertexIndex[m], count)) return false;
    return true;
}

} // namespace

std::string morphMismatch(const Model& a, const Model& b, const std::string& nameA,
                          const std::string& nameB) {
    if (a.objectCount <= 0 || !holds(a.objects, a.objectCount)) return nameA + " holds no star";
    if (b.objectCount <= 0 || !holds(b.objects, b.objectCount)) return nameB + " holds no star";
    if (a.objectCount != b.objectCount)
        return nameA + " has " + std::to_string(a.objectCount) + " objects and " + nameB + " has " +
               std::to_string(b.objectCount);
    for (int j = 0; j < a.objectCount; ++j) {
        const ModelObject& objectA = a.objects[j];
        const ModelObject& objectB = b.objects[j];
        const std::string object = "object " + std::to_string(j + 1);
        if (!objectUsable(objectA)) return object + " of " + nameA + " is damaged";
        if (!objectUsable(objectB)) return object + " of " + nameB + " is damaged";
        if (objectA.faceCount != objectB.faceCount)
            return object + " has " + std::to_string(objectA.faceCount) + " faces in " + nameA +
                   " and " + std::to_string(objectB.faceCount) + " in " + nameB;
        if (!facesInside(objectB, objectB.vertexCount))
            return object + " of " + nameB + " has a face outside its vertices";
        if (!facesInside(objectA, objectA.vertexCount))
            return object + " of " + nameA + " has a face outside its vertices";
        // Texture coordinates come from the first model only.
        if (!facesInside(objectA, std::min(objectA.vertexCount, objectA.texCoordCount)))
            return object + " of " + nameA + " has no texture coordinates for its vertices";
    }
    return "";
}

bool modelsMorphable(const Model& a, const Model& b) { return morphMismatch(a, b).empty(); }

bool drawableAlone(const Model& model) {
    if (model.objectCount <= 0 || !holds(model.objects, model.objectCount)) return false;
    for (int j = 0; j < model.objectCount; ++j)
        if (!objectUsable(model.objects[j]) ||
            !facesInside(model.objects[j], model.objects[j].vertexCount))
            return false;
    return true;
}

namespace {

// Two star files that cannot be blended are said once; the star then shows one of them alone.
// Files that failed to load have been reported by the reader already.
void reportStarMismatch() {
    if (models[0].objects.empty() || models[1].objects.empty()) return;
    const std::string first = dataPath("tahti.3ds"), second = dataPath("tahti2.3ds");
    const std::string mismatch = morphMismatch(models[0], models[1], first, second);
    if (mismatch.empty()) return;
    const bool firstAlone = drawableAlone(models[0]);
    reportLoadProblem({LoadReport::Kind::Model, true, second,
                       "the star models cannot be blended: " + mismatch + "; the star shows " +
                           (firstAlone ? first : second) + " alone",
                       "Warning"});
}

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
        reportStarMismatch();
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
        endCurrentEntry();
    }
}

Vec3 blend(Vec3 from, Vec3 to, float t) {
    return Vec3{from.x + t * (to.x - from.x), from.y + t * (to.y - from.y),
                from.z + t * (to.z - from.z)};
}

// The star between the two shapes, one mesh per object, rebuilt in place only when the blend
// changes (it holds still between the morphs) or the models do.
struct StarMeshes {
    std::vector<gfx::Mesh> objects;
    float blend = -1;
    const Model* from = nullptr;
    const Model* to = nullptr;
};
StarMeshes starMeshes;

// Pairs object j with object j and face l with face l; the second model's faces are walked in
// the opposite winding. Only called on models that passed modelsMorphable, or with a = b and
// t = 0 on one that is drawableAlone (a model without texture coordinates shows the picture's
// corner). Lighting is off, so the normals are not needed.
void drawStar(const Model& a, const Model& b, float t) {
    constexpr int pairedCorner[3] = {0, 2, 1};
    StarMeshes& meshes = starMeshes;
    const bool alive = !meshes.objects.empty() && gfx::meshAlive(meshes.objects[0]);
    if (!alive || meshes.from != &a || meshes.to != &b ||
        meshes.objects.size() != static_cast<std::size_t>(a.objectCount)) {
        if (alive)
            for (gfx::Mesh& mesh : meshes.objects) gfx::deleteMesh(mesh);
        meshes = {std::vector<gfx::Mesh>(static_cast<std::size_t>(a.objectCount)), -1, &a, &b};
    }
    const bool changed = t != meshes.blend;
    std::vector<float> vertices;
    for (int j = 0; j < a.objectCount; ++j) {
        const ModelObject& objectA = a.objects[j];
        const ModelObject& objectB = b.objects[j];
        gfx::Mesh& mesh = meshes.objects[static_cast<std::size_t>(j)];
        if (changed) {
            vertices.clear();
            for (int l = 0; l < objectA.faceCount; ++l) {
                for (int m = 0; m < 3; ++m) {
                    const int f = objectA.faces[l].vertexIndex[m];
                    const int g = objectB.faces[l].vertexIndex[pairedCorner[m]];
                    const Vec3 vertex = blend(objectA.vertices[f], objectB.vertices[g], t);
                    const Vec2 uv = f < objectA.texCoordCount ? objectA.texCoords[f] : Vec2{0, 0};
                    vertices.insert(vertices.end(), {uv.x, uv.y, vertex.x, vertex.y, vertex.z});
                }
            }
            const int count = static_cast<int>(vertices.size() / 5);
            if (gfx::meshAlive(mesh))
                gfx::updateMesh(mesh, gfx::texturedLayout, vertices.data(), count);
            else
                mesh = gfx::createMesh(gfx::texturedLayout, vertices.data(), count,
                                       gfx::Primitive::Triangles);
        }
        gfx::bindTexture(morphTextures[1]);
        gfx::draw(mesh);
    }
    meshes.blend = t;
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
    gfx::clear(true, true);
    drawBackdrop(morphTextures[0], 0.125f, 0.875f); // middle three quarters
    camera.apply();
    gfx::translate(morph.starX, 0, 0);
    gfx::rotate(morph.starAngleX, 1, 0, 0);
    gfx::rotate(morph.starAngleY, 0, 1, 0);
    gfx::rotate(morph.starAngleZ, 0, 0, 1);
    // Star files that cannot be blended show the first one that can be drawn, unchanging.
    if (modelsMorphable(models[0], models[1]))
        drawStar(models[0], models[1], morph.morphFactor);
    else if (drawableAlone(models[0]))
        drawStar(models[0], models[0], 0);
    else if (drawableAlone(models[1]))
        drawStar(models[1], models[1], 0);
}

void morphFrame() {
    morphAdvance(View::Frame);
    morphDraw(View::Frame);
}

void morphUnload() {
    gfx::deleteTextures(morphTextures, 2);
    for (gfx::Mesh& mesh : starMeshes.objects)
        gfx::deleteMesh(mesh);
    starMeshes = {};
    morphTextures[0] = morphTextures[1] = 0;
    releaseModel(models[0]);
    releaseModel(models[1]);
}

} // namespace

const Scene starMorphScene{morphLoad,    morphFrame, noOperation,  morphUnload,
                           morphAdvance, morphDraw,  "star morph", SceneKind::StarMorph};
