// The generated star files: the same on every run, and a morph between them without folds.
#include "tests/model_test_support.h"
#include "tests/process_support.h"
#include "tools/assets.h"
#include "tools/model_writer.h"
#include "tools/star_model.h"

#include <cmath>

namespace {

Vec3 lerp(const Vec3& a, const Vec3& b, float t) {
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
}

float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(const Vec3& v) { return std::sqrt(dot(v, v)); }

class ModelStarFiles : public ModelFileTest {
  protected:
    void SetUp() override {
        ModelFileTest::SetUp();
        directory = freshFolder("stars").string();
        std::string error;
        ASSERT_TRUE(generateModels(directory, error)) << error;
        ASSERT_TRUE(reader.load(blunt, (directory + "/tahti.3ds").c_str()));
        ASSERT_TRUE(reader.load(sharp, (directory + "/tahti2.3ds").c_str()));
        EXPECT_TRUE(reports().empty());
    }
    std::string directory;
    Model blunt, sharp;
};

} // namespace

// The build's data folder was written by another run of the generator: the same bytes.
TEST_F(ModelStarFiles, AreTheSameBytesOnEveryRun) {
    for (const char* name : {"tahti.3ds", "tahti2.3ds"})
        EXPECT_EQ(fileContents(std::string(TUVERO_DATA_DIR) + "/" + name),
                  fileContents(directory + "/" + name))
            << name;
    EXPECT_NE(fileContents(directory + "/tahti.3ds"), fileContents(directory + "/tahti2.3ds"));
}

// Blends the two stars as the scene draws them (B's corners walked 0, 2, 1) and requires every
// triangle at every step to keep a clear area and face away from the star's centre: no folded,
// collapsed or inside-out triangles anywhere between the shapes.
TEST_F(ModelStarFiles, MorphShowsNoFoldedOrInsideOutTriangles) {
    const ModelObject& a = blunt.objects[0];
    const ModelObject& b = sharp.objects[0];
    ASSERT_EQ(a.faceCount, b.faceCount);
    ASSERT_EQ(a.vertexCount, b.vertexCount);
    const int walk[3] = {0, 2, 1};
    for (int step = 0; step <= 16; ++step) {
        const float t = step / 16.0f;
        for (int l = 0; l < a.faceCount; ++l) {
            Vec3 corner[3];
            for (int m = 0; m < 3; ++m) {
                const int f = a.faces[l].vertexIndex[m];
                const int g = b.faces[l].vertexIndex[walk[m]];
                corner[m] = lerp(a.vertices[f], b.vertices[g], t);
            }
            const Vec3 normal =
                vecCross(vecSubtract(corner[1], corner[0]), vecSubtract(corner[2], corner[0]));
            const Vec3 centre = vecDivide(vecAdd(vecAdd(corner[0], corner[1]), corner[2]), 3.0f);
            EXPECT_GT(length(normal), 0.01f) << "face " << l << " at " << t;
            EXPECT_GT(dot(normal, centre), 0.05f * length(normal) * length(centre))
                << "face " << l << " at " << t;
        }
    }
}
