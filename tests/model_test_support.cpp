#include "tests/model_test_support.h"

#include "tools/chunk_writer.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <unistd.h>

void ModelFileTest::SetUp() {
    platform::setMessageBoxHook([this](const platform::MessageBoxRequest& request) {
        messages.push_back(request);
        return true;
    });
}

void ModelFileTest::TearDown() {
    platform::setMessageBoxHook(nullptr);
    for (const std::string& file : files)
        std::remove(file.c_str());
}

std::string ModelFileTest::writeTestFile(const std::vector<std::uint8_t>& bytes,
                                         const std::string& suffix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                       std::to_string(getpid()) + "_" + suffix;
    for (char& c : name)
        if (c == '/') c = '_';
    const std::string path = ::testing::TempDir() + "tuvero_" + name;
    std::string error;
    EXPECT_TRUE(writeBinaryFile(path, bytes, error)) << error;
    files.push_back(path);
    return path;
}

bool ModelFileTest::load(Model& into, const std::vector<std::uint8_t>& bytes) {
    return reader.load(into, writeTestFile(bytes).c_str());
}

namespace {

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

void expectSameVec(const Vec3& a, const Vec3& b, const char* what, std::size_t i) {
    EXPECT_TRUE(bits(a.x) == bits(b.x) && bits(a.y) == bits(b.y) && bits(a.z) == bits(b.z))
        << what << "[" << i << "]: (" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x
        << ", " << b.y << ", " << b.z << ")";
}

} // namespace

void expectSameModel(const Model& actual, const Model& expected) {
    ASSERT_EQ(actual.objectCount, expected.objectCount);
    ASSERT_EQ(actual.materialCount, expected.materialCount);
    ASSERT_EQ(actual.objects.size(), expected.objects.size());
    ASSERT_EQ(actual.materials.size(), expected.materials.size());
    for (std::size_t m = 0; m < actual.materials.size(); ++m) {
        const ModelMaterial& a = actual.materials[m];
        const ModelMaterial& e = expected.materials[m];
        EXPECT_STREQ(a.name, e.name);
        EXPECT_STREQ(a.textureFile, e.textureFile);
        EXPECT_EQ(0, std::memcmp(a.color, e.color, 3)) << "material " << m;
    }
    for (std::size_t o = 0; o < actual.objects.size(); ++o) {
        SCOPED_TRACE("object " + std::to_string(o));
        const ModelObject& a = actual.objects[o];
        const ModelObject& e = expected.objects[o];
        EXPECT_STREQ(a.name, e.name);
        EXPECT_EQ(a.vertexCount, e.vertexCount);
        EXPECT_EQ(a.faceCount, e.faceCount);
        EXPECT_EQ(a.texCoordCount, e.texCoordCount);
        EXPECT_EQ(a.materialId, e.materialId);
        EXPECT_EQ(a.hasTexture, e.hasTexture);
        ASSERT_EQ(a.vertices.size(), e.vertices.size());
        ASSERT_EQ(a.normals.size(), e.normals.size());
        ASSERT_EQ(a.texCoords.size(), e.texCoords.size());
        ASSERT_EQ(a.faces.size(), e.faces.size());
        for (std::size_t i = 0; i < a.vertices.size(); ++i)
            expectSameVec(a.vertices[i], e.vertices[i], "vertices", i);
        for (std::size_t i = 0; i < a.normals.size(); ++i)
            expectSameVec(a.normals[i], e.normals[i], "normals", i);
        for (std::size_t i = 0; i < a.texCoords.size(); ++i)
            EXPECT_TRUE(bits(a.texCoords[i].x) == bits(e.texCoords[i].x) &&
                        bits(a.texCoords[i].y) == bits(e.texCoords[i].y))
                << "texCoords[" << i << "]";
        for (std::size_t i = 0; i < a.faces.size(); ++i)
            EXPECT_EQ(0, std::memcmp(a.faces[i].vertexIndex, e.faces[i].vertexIndex,
                                     sizeof a.faces[i].vertexIndex))
                << "faces[" << i << "]";
    }
}
