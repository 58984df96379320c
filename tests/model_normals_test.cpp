#include "assets/model.h"
#include "tests/normals_all_pairs.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

ModelObject meshObject(std::vector<Vec3> vertices, std::vector<ModelFace> faces) {
    ModelObject object;
    object.vertexCount = static_cast<std::int32_t>(vertices.size());
    object.faceCount = static_cast<std::int32_t>(faces.size());
    object.vertices = std::move(vertices);
    object.faces = std::move(faces);
    return object;
}

Model modelOf(ModelObject object) {
    Model model;
    model.objects.push_back(std::move(object));
    model.objectCount = 1;
    return model;
}

void expectNear(const Vec3& actual, const Vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
}

} // namespace

TEST(ModelNormals, SingleTriangleFacesItsCounterClockwiseSide) {
    Model model = modelOf(meshObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1, 2}}}));
    computeNormals(model);
    ASSERT_EQ(model.objects[0].normals.size(), 3u);
    for (const Vec3& n : model.objects[0].normals)
        EXPECT_EQ(n, (Vec3{0, 0, 1}));
}

// A large triangle in the plane z = 0 (area 4, facing -z) and a small one in the plane x = 0
// (area 1, facing +x) share the edge from vertex 0 to vertex 2.
TEST(ModelNormals, SharedVerticesWeighFacesByArea) {
    Model model = modelOf(
        meshObject({{0, 0, 0}, {-4, 0, 0}, {0, 2, 0}, {0, 0, 1}}, {{{0, 1, 2}}, {{0, 2, 3}}}));
    computeNormals(model);
    const auto& n = model.objects[0].normals;
    const float s = 1.0f / std::sqrt(17.0f);
    expectNear(n[0], {s, 0, -4 * s});
    expectNear(n[2], {s, 0, -4 * s});
    expectNear(n[1], {0, 0, -1});
    expectNear(n[3], {1, 0, 0});
}

TEST(ModelNormals, VerticesWithoutDirectionGetZeroNeverNaN) {
    const float inf = std::numeric_limits<float>::infinity();
    Model model = modelOf(meshObject(
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}, {inf, 0, 0}, {0, inf, 0}, {0, 0, 1}},
        {{{0, 1, 2}}, {{0, 2, 1}}, {{4, 5, 6}}}));
    computeNormals(model);
    const auto& n = model.objects[0].normals;
    ASSERT_EQ(n.size(), 7u);
    // 0 to 2: two opposite faces cancel; 3: no face; 4 to 6: infinite corners.
    for (const Vec3& normal : n)
        EXPECT_EQ(normal, (Vec3{0, 0, 0}));
}

// Face vectors that floats hold but whose squared length they do not (under about 1e-19 or
// over about 1e19) still give unit normals.
TEST(ModelNormals, TinyAndHugeTrianglesGetUnitNormals) {
    for (float scale : {1e-15f, 1e-20f, 1e12f, 1e18f}) {
        SCOPED_TRACE(scale);
        Model model = modelOf(meshObject({{0, 0, 0}, {scale, 0, 0}, {0, scale, 0}}, {{{0, 1, 2}}}));
        computeNormals(model);
        for (const Vec3& n : model.objects[0].normals)
            expectNear(n, {0, 0, 1});
    }
}

TEST(ModelNormals, FaceNamingAVertexTwiceKeepsTheDirection) {
    Model model = modelOf(
        meshObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1, 2}}, {{0, 0, 1}}, {{1, 1, 1}}}));
    computeNormals(model);
    for (const Vec3& n : model.objects[0].normals)
        expectNear(n, {0, 0, 1});
}

TEST(ModelNormals, ObjectsWithoutFacesGetEmptyOrZeroNormals) {
    Model model;
    model.objects.resize(2);
    model.objectCount = 2;
    model.objects[1] = meshObject({{1, 2, 3}}, {});
    computeNormals(model);
    EXPECT_TRUE(model.objects[0].normals.empty());
    ASSERT_EQ(model.objects[1].normals.size(), 1u);
    EXPECT_EQ(model.objects[1].normals[0], (Vec3{0, 0, 0}));
}

TEST(ModelNormals, FacesOutsideTheVerticesAreLeftOut) {
    Model model = modelOf(meshObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
                                     {{{0, 1, 2}}, {{0, 1, 3}}, {{-1, 0, 1}}, {{0, 65535, 1}}}));
    computeNormals(model);
    for (const Vec3& n : model.objects[0].normals)
        EXPECT_EQ(n, (Vec3{0, 0, 1}));
}

// The one-pass sums must equal, bit for bit, those of testing every face for every vertex,
// including faces that name a vertex twice or three times.
TEST(ModelNormals, OnePassMatchesAllPairsBitForBit) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f);
    constexpr int vertexCount = 400;
    std::uniform_int_distribution<int> vertex(0, vertexCount - 1);
    std::vector<Vec3> vertices(vertexCount);
    for (Vec3& v : vertices)
        v = {coordinate(random), coordinate(random), coordinate(random)};
    std::vector<ModelFace> faces;
    for (int i = 0; i < vertexCount; i += 3) // every vertex used at least once
        faces.push_back({{i, (i + 1) % vertexCount, (i + 2) % vertexCount}});
    for (int j = 0; j < 3000; ++j) {
        ModelFace face{{vertex(random), vertex(random), vertex(random)}};
        if (j % 10 == 0) face.vertexIndex[2] = face.vertexIndex[j % 20 == 0 ? 0 : 1];
        if (j % 97 == 0) face.vertexIndex[1] = face.vertexIndex[2] = face.vertexIndex[0];
        faces.push_back(face);
    }
    Model model = modelOf(meshObject(vertices, faces));
    ModelObject reference = model.objects[0];
    computeNormals(model);
    allPairsNormals(reference);
    ASSERT_EQ(model.objects[0].normals.size(), reference.normals.size());
    for (int i = 0; i < vertexCount; ++i) {
        const Vec3& a = model.objects[0].normals[i];
        const Vec3& b = reference.normals[i];
        ASSERT_FALSE(std::isnan(b.x)) << i;
        EXPECT_EQ(0, std::memcmp(&a, &b, sizeof a)) << "vertex " << i;
    }
}

TEST(ModelRelease, KeepsCountsNamesAndMaterials) {
    Model model = modelOf(meshObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1, 2}}}));
    std::strcpy(model.objects[0].name, "Star");
    model.objects[0].texCoords.resize(3);
    model.objects[0].texCoordCount = 3;
    model.materials.emplace_back();
    model.materialCount = 1;
    std::strcpy(model.materials[0].name, "Gold");
    computeNormals(model);

    releaseModel(model);
    releaseModel(model); // the scene's unload may run it again on the same model
    const ModelObject& object = model.objects[0];
    EXPECT_EQ(model.objectCount, 1);
    EXPECT_STREQ(object.name, "Star");
    EXPECT_EQ(object.vertexCount, 3);
    EXPECT_EQ(object.faceCount, 1);
    EXPECT_EQ(object.texCoordCount, 3);
    EXPECT_TRUE(object.vertices.empty() && object.normals.empty() && object.texCoords.empty() &&
                object.faces.empty());
    EXPECT_EQ(object.vertices.capacity(), 0u);
    EXPECT_STREQ(model.materials[0].name, "Gold");

    Model never;
    releaseModel(never);
    EXPECT_EQ(never.objectCount, 0);
}
