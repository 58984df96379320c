// Models read from 3DS files: objects with vertices, faces, texture coordinates and per-vertex
// normals, and the materials the objects name.
#pragma once

#include "assets/vector.h"

#include <cstdint>
#include <vector>

// One triangle: three indices into its object's vertices, normals and texCoords, in file order.
struct ModelFace {
    std::int32_t vertexIndex[3] = {};
};

struct ModelMaterial {
    char name[255] = {};        // NUL-terminated; objects refer to materials by this name
    char textureFile[255] = {}; // NUL-terminated; empty when the material has no texture map
    std::uint8_t color[3] = {}; // diffuse colour: red, green, blue
};

// Every count equals the size of its array after a load; the arrays are released by
// releaseModel, which leaves the counts as they were.
struct ModelObject {
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    std::int32_t texCoordCount = 0;
    std::int32_t materialId = 0; // index in Model::materials; 0 when the object names none
    bool hasTexture = false;     // a material the object names has a texture file
    char name[255] = {};         // NUL-terminated
    std::vector<Vec3> vertices;  // positions as stored in the file
    std::vector<Vec3> normals;   // one per vertex, made by computeNormals
    std::vector<Vec2> texCoords; // entry i belongs to vertex i
    std::vector<ModelFace> faces;
};

// Each count equals the size of its array.
struct Model {
    std::int32_t objectCount = 0;
    std::int32_t materialCount = 0;
    std::vector<ModelMaterial> materials; // in file order
    std::vector<ModelObject> objects;     // in file order
};

// The star morph's two shapes: models[0] from "tahti.3ds", models[1] from "tahti2.3ds".
extern Model models[2];

// Gives every object one normal per vertex: the unit vector along the negated, area-weighted sum
// of the face vectors of the faces that use the vertex, so the normals of a triangle whose
// corners run counter-clockwise seen from one side point to that side. A face counts once per
// vertex even when it names the vertex twice. A vertex that no face uses, or whose summed face
// vectors give no direction (zero, or not finite), gets (0, 0, 0); every other normal is a unit
// vector, also where the squared length of the sum leaves the float range. Faces naming a
// vertex the object does not have are left out.
void computeNormals(Model& model);

// Releases the vertices, normals, texture coordinates and faces of every object; the counts,
// names, object records and materials stay.
void releaseModel(Model& model);
