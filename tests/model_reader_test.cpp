// Well-formed files: everything the reader takes from them, and everything it must ignore.
#include "tests/model_test_support.h"
#include "tools/model_writer.h"

#include <cstdio>
#include <filesystem>

namespace {

void unknown(ChunkWriter& out, std::uint16_t id, bool on) {
    if (!on) return;
    out.begin(id);
    out.u32(0xDEADBEEF);
    out.end();
}

// A file that uses every chunk the reader knows; with `noise`, chunks it does not know are
// added at every level, some of them holding chunks it does know.
std::vector<std::uint8_t> sampleFile(bool noise) {
    ChunkWriter out;
    beginFile(out);
    unknown(out, 0x0100, noise); // master scale
    if (noise) {                 // an unknown chunk holding an object: none of it may show up
        out.begin(0x1234);
        triangleObject(out, "Hidden");
        out.end();
    }
    out.begin(0xAFFF);
    unknown(out, 0xA010, noise); // ambient colour
    stringChunk(out, 0xA000, "Gold");
    out.begin(0xA020);
    out.begin(0x0011);
    for (std::uint8_t c : {200, 150, 50})
        out.u8(c);
    out.end();
    if (noise) {
        out.begin(0x0012);
        for (std::uint8_t c : {1, 2, 3})
            out.u8(c);
        out.end();
    }
    out.end();
    out.begin(0xA200);
    unknown(out, 0x0030, noise);
    stringChunk(out, 0xA300, "texture.jpg");
    unknown(out, 0xA351, noise);
    out.end();
    out.end();
    out.begin(0x4000);
    out.string("Star");
    unknown(out, 0x4010, noise);
    out.begin(0x4100);
    unknown(out, 0x4160, noise);
    floatList(out, 0x4110, 4, {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0.5f});
    floatList(out, 0x4140, 4, {0, 0, 1, 0, 0, 1, 1, 1});
    out.begin(0x4120);
    out.u16(2);
    for (std::uint16_t v : {0, 1, 2, 7, 1, 3, 2, 7})
        out.u16(v);
    unknown(out, 0x4150, noise); // smoothing groups
    out.begin(0x4130);
    out.string("Gold");
    out.u16(1);
    out.u16(0);
    out.end();
    out.end();
    out.end();
    out.end();
    out.end(); // the editor chunk
    unknown(out, 0x0001, noise);
    if (noise) {
        out.begin(0xB000); // keyframer, with nested chunks
        out.begin(0xB00A);
        out.string("Star");
    }
    endFile(out);
    return out.data();
}

} // namespace

using ModelReaderFile = ModelFileTest;

TEST_F(ModelReaderFile, TakesEverythingFromAModellersFile) {
    MeshFile file;
    file.materials.push_back({"Plain", {10, 20, 30}, ""});
    file.materials.push_back({"Gold", {255, 196, 64}, "texture.jpg"});
    MeshObject object;
    object.name = "Star";
    object.vertices = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {-1.5f, 0.25f, 3}};
    object.texCoords = {{0, 0}, {1, 0}, {0, 1}, {0.5f, 0.75f}};
    object.faces = {{0, 1, 2}, {0, 2, 3}};
    object.materialName = "Gold";
    file.objects.push_back(object);
    object.name = "Second";
    object.materialName = "Plain";
    file.objects.push_back(object);
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(write3ds(file, bytes, error)) << error;

    ASSERT_TRUE(load(bytes));
    EXPECT_TRUE(reports().empty());
    ASSERT_EQ(model.materialCount, 2);
    ASSERT_EQ(model.objectCount, 2);
    EXPECT_STREQ(model.materials[1].name, "Gold");
    EXPECT_STREQ(model.materials[1].textureFile, "texture.jpg");
    EXPECT_STREQ(model.materials[0].textureFile, "");
    const std::uint8_t* gold = model.materials[1].color; // 24-bit, not the gamma copy after it
    EXPECT_TRUE(gold[0] == 255 && gold[1] == 196 && gold[2] == 64);
    const ModelObject& star = model.objects[0];
    EXPECT_STREQ(star.name, "Star");
    EXPECT_EQ(star.materialId, 1);
    EXPECT_TRUE(star.hasTexture);
    ASSERT_EQ(star.vertexCount, 4);
    EXPECT_EQ(star.vertices[3], (Vec3{-1.5f, 0.25f, 3}));
    ASSERT_EQ(star.texCoordCount, 4);
    EXPECT_TRUE(star.texCoords[3].x == 0.5f && star.texCoords[3].y == 0.75f);
    ASSERT_EQ(star.faceCount, 2);
    const std::int32_t* face = star.faces[1].vertexIndex;
    EXPECT_TRUE(face[0] == 0 && face[1] == 2 && face[2] == 3);
    ASSERT_EQ(star.normals.size(), 4u);
    EXPECT_EQ(star.normals[1], (Vec3{0, 0, 1}));
    EXPECT_EQ(model.objects[1].materialId, 0);
    EXPECT_FALSE(model.objects[1].hasTexture);
}

TEST_F(ModelReaderFile, IgnoresUnknownChunksAtEveryLevel) {
    Model plain;
    ASSERT_TRUE(load(plain, sampleFile(false)));
    ASSERT_TRUE(load(sampleFile(true)));
    EXPECT_TRUE(reports().empty());
    ASSERT_EQ(model.objectCount, 1);
    EXPECT_STREQ(model.objects[0].name, "Star");
    EXPECT_TRUE(model.objects[0].hasTexture);
    EXPECT_EQ(model.materials[0].color[0], 200);
    EXPECT_EQ(describeModel(model), describeModel(plain));
}

TEST_F(ModelReaderFile, MissingFileIsReportedAndChangesNothing) {
    const std::string name = ::testing::TempDir() + "tuvero_no_such_model.3ds";
    EXPECT_FALSE(reader.load(model, name.c_str()));
    ASSERT_EQ(reports().size(), 1u);
    EXPECT_EQ(reports()[0].text, "Unable to find the file: " + name + "!");
    EXPECT_TRUE(reports()[0].title == "Error");
    EXPECT_TRUE(model.objectCount == 0 && model.objects.empty());

    // Names of any length are held whole in both reports().
    const std::string longName = ::testing::TempDir() + std::string(5000, 'x') + ".3ds";
    reports().clear();
    EXPECT_FALSE(reader.load(model, longName.c_str()));
    const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0};
    std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(jpeg.data()), jpeg.size(), "rb");
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(reader.load(model, stream, longName.c_str()));
    std::fclose(stream);
    ASSERT_EQ(reports().size(), 2u);
    EXPECT_EQ(reports()[0].text, "Unable to find the file: " + longName + "!");
    EXPECT_EQ(reports()[1].text, "Unable to load PRIMARY chunck from file: " + longName + "!");
}

TEST_F(ModelReaderFile, FileWithoutPrimaryChunkIsRefused) {
    const std::vector<std::vector<std::uint8_t>> files = {
        {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00}, // a JPEG
        {},                                                             // empty
        {0x4D},                                                         // half an id
    };
    for (const auto& bytes : files) {
        reports().clear();
        const std::string path = writeTestFile(bytes);
        EXPECT_FALSE(reader.load(model, path.c_str()));
        ASSERT_EQ(reports().size(), 1u);
        EXPECT_EQ(reports()[0].text, "Unable to load PRIMARY chunck from file: " + path + "!");
        EXPECT_EQ(reports()[0].title, "Error");
        EXPECT_TRUE(model.objects.empty() && model.materials.empty());
    }
}

TEST_F(ModelReaderFile, VersionAboveThreeWarnsOncePerVersionChunkAndStillLoads) {
    const struct {
        std::uint32_t version;
        bool warns;
    } cases[] = {{3, false}, {4, true}, {0x00010003, false}, {0x7FFF0004, true}, {0xFFFF, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        reports().clear();
        Model fresh;
        ChunkWriter out;
        beginFile(out, c.version);
        triangleObject(out, "Tri");
        out.begin(0x0002); // a second version chunk, inside the editor chunk
        out.u32(c.version);
        out.end();
        endFile(out);
        EXPECT_TRUE(load(fresh, out.data()));
        EXPECT_EQ(fresh.objectCount, 1);
        EXPECT_EQ(fresh.objects[0].faceCount, 1);
        ASSERT_EQ(reports().size(), c.warns ? 2u : 0u);
        for (const auto& m : reports()) {
            EXPECT_EQ(m.text, "This 3DS file is over version 3 so it may load incorrectly");
            EXPECT_EQ(m.title, "Warning");
        }
    }
}

TEST_F(ModelReaderFile, FaceMaterialListsFindMaterialsByExactName) {
    ChunkWriter out;
    beginFile(out);
    material(out, "Matte");
    material(out, "Gold", "gold.jpg");
    material(out, "Bare");
    material(out, "gold", "other.jpg");
    triangleObject(out, "Unmatched", {"Silver"});
    triangleObject(out, "CaseMatters", {"GOLD"});
    triangleObject(out, "Textured", {"Gold"});
    triangleObject(out, "LastMatchWins", {"Gold", "Bare", "Silver"});
    triangleObject(out, "NoTextureMap", {"Bare"});
    endFile(out);
    ASSERT_TRUE(load(out.data()));
    EXPECT_TRUE(reports().empty());
    ASSERT_EQ(model.objectCount, 5);
    const auto expect = [&](int i, int materialId, bool hasTexture) {
        SCOPED_TRACE(model.objects[i].name);
        EXPECT_EQ(model.objects[i].materialId, materialId);
        EXPECT_EQ(model.objects[i].hasTexture, hasTexture);
    };
    expect(0, 0, false);
    expect(1, 0, false);
    expect(2, 1, true);
    expect(3, 2, true); // once found, a texture stays
    expect(4, 2, false);
}

TEST_F(ModelReaderFile, SecondLoadAppendsToTheSameModel) {
    ChunkWriter out;
    beginFile(out);
    material(out, "Gold", "texture.jpg");
    triangleObject(out, "Tri", {"Gold"});
    endFile(out);
    ASSERT_TRUE(load(out.data()));
    ASSERT_TRUE(load(out.data()));
    EXPECT_TRUE(model.objectCount == 2 && model.objects.size() == 2u);
    EXPECT_TRUE(model.materialCount == 2 && model.materials.size() == 2u);
    EXPECT_EQ(model.objects[1].normals.size(), 3u);
}

// The fuzzer's seeds must stay files the reader takes whole.
TEST_F(ModelReaderFile, FuzzSeedsLoadWithoutMessages) {
    const std::filesystem::path corpus = std::string(TUVERO_SOURCE_DIR) + "/tests/fuzz/corpus";
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        SCOPED_TRACE(entry.path().string());
        Model seed;
        EXPECT_TRUE(reader.load(seed, entry.path().c_str()));
        EXPECT_GT(seed.objectCount + seed.materialCount, 0);
        ++seeds;
    }
    EXPECT_GE(seeds, 3);
    EXPECT_TRUE(reports().empty());
}
