#include "assets/model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

Model modelOf(std::vector<Vec3> vertices, std::vector<ModelFace> faces) {
    Model model;
    ModelObject& object = model.objects.emplace_back();
    model.objectCount = 1;
    object.vertexCount = static_cast<std::int32_t>(vertices.size());
    object.faceCount = static_cast<std::int32_t>(faces.size());
    object.vertices = std::move(vertices);
    object.faces = std::move(faces);
    return model;
}

void expectNear(const Vec3& actual, const Vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
}

} // namespace

// A large triangle in the plane z = 0 (area 4, clockwise seen from +z) and a small one in the
// plane x = 0 (area 1, counter-clockwise seen from +x) share the edge from vertex 0 to vertex 2.
TEST(ModelNormals, SharedVerticesWeighFacesByArea) {
    Model model =
        modelOf({{0, 0, 0}, {-4, 0, 0}, {0, 2, 0}, {0, 0, 1}}, {{{0, 1, 2}}, {{0, 2, 3}}});
    computeNormals(model);
    const auto& n = model.objects[0].normals;
    const float s = 1.0f / std::sqrt(17.0f);
    expectNear(n[0], {s, 0, -4 * s});
    expectNear(n[2], {s, 0, -4 * s});
    expectNear(n[1], {0, 0, -1});
    expectNear(n[3], {1, 0, 0});
}

// Every vertex of each mesh gets the same normal: a unit vector where there is a direction,
// (0, 0, 0) and never NaN where there is none.
TEST(ModelNormals, DegenerateMeshesGiveUnitOrZeroNormals) {
    const float inf = std::numeric_limits<float>::infinity();
    const Vec3 up{0, 0, 1}, none{0, 0, 0};
    const struct {
        const char* what;
        std::vector<Vec3> vertices;
        std::vector<ModelFace> faces;
        Vec3 normal;
    } cases[] = {
        {"opposite faces cancel, unused vertex, infinite corners",
         {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}, {inf, 0, 0}, {0, inf, 0}, {0, 0, 1}},
         {{{0, 1, 2}}, {{0, 2, 1}}, {{4, 5, 6}}},
         none},
        {"no faces", {{1, 2, 3}}, {}, none},
        // Squared lengths under about 1e-19 or over about 1e19 leave the float range.
        {"tiny", {{0, 0, 0}, {1e-20f, 0, 0}, {0, 1e-20f, 0}}, {{{0, 1, 2}}}, up},
        {"small", {{0, 0, 0}, {1e-15f, 0, 0}, {0, 1e-15f, 0}}, {{{0, 1, 2}}}, up},
        {"large", {{0, 0, 0}, {1e12f, 0, 0}, {0, 1e12f, 0}}, {{{0, 1, 2}}}, up},
        {"huge", {{0, 0, 0}, {1e18f, 0, 0}, {0, 1e18f, 0}}, {{{0, 1, 2}}}, up},
        {"faces naming a vertex twice",
         {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
         {{{0, 1, 2}}, {{0, 0, 1}}, {{1, 1, 1}}},
         up},
        {"faces outside the vertices",
         {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
         {{{0, 1, 2}}, {{0, 1, 3}}, {{-1, 0, 1}}, {{0, 65535, 1}}},
         up},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Model model = modelOf(c.vertices, c.faces);
        computeNormals(model);
        ASSERT_EQ(model.objects[0].normals.size(), c.vertices.size());
        for (const Vec3& n : model.objects[0].normals)
            expectNear(n, c.normal);
    }
}
