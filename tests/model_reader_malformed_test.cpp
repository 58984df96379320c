// Files whose lengths or contents are wrong: the reader must never crash, hang, read past a
// destination or leave a half-built model; a refused file leaves the model as it was.
#include "tests/model_test_support.h"
#include "tools/model_writer.h"
#include "tools/star_model.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>

namespace {

constexpr const char* endsEarly = "it ends before its last chunk";
constexpr const char* chunkTooShort = "a chunk is shorter than its contents";
constexpr const char* childTooLong = "a chunk is longer than the chunk that holds it";
constexpr const char* nestedTooDeep = "its chunks are nested too deeply";
constexpr const char* listTooShort = "a list holds fewer entries than its count";
constexpr const char* badVertexIndex = "a face uses a vertex that its object does not have";

std::vector<std::uint8_t> starBytes() {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(write3ds(starModel(StarShape::blunt), bytes, error)) << error;
    return bytes;
}

// The model every test loads over: a failed load must leave it exactly like this.
class ModelReaderMalformed : public ModelFileTest {
  protected:
    void SetUp() override {
        ModelFileTest::SetUp();
        ASSERT_TRUE(load(starBytes()));
        snapshot = model;
    }

    // Loads bytes and expects exactly one refusal naming the file, with `reason`.
    void expectRefused(const std::vector<std::uint8_t>& bytes, const std::string& reason) {
        reports().clear();
        const std::string path = writeTestFile(bytes, "bad.3ds");
        EXPECT_FALSE(reader.load(model, path.c_str()));
        ASSERT_EQ(reports().size(), 1u);
        EXPECT_EQ(reports()[0].text, "Unable to load the file " + path + ": " + reason + "!");
        EXPECT_EQ(reports()[0].title, "Error");
        EXPECT_EQ(describeModel(model), describeModel(snapshot));
    }

    // Loads bytes into a fresh model and expects it taken without a message.
    Model expectLoaded(const std::vector<std::uint8_t>& bytes) {
        reports().clear();
        Model fresh;
        EXPECT_TRUE(load(fresh, bytes));
        EXPECT_TRUE(reports().empty()) << (reports().empty() ? "" : reports()[0].text);
        return fresh;
    }

    Model snapshot;
};

// An object whose mesh holds `body` after a valid three-vertex list.
std::vector<std::uint8_t> objectWith(const std::function<void(ChunkWriter&)>& body) {
    ChunkWriter out;
    beginFile(out);
    beginTriangleMesh(out, "Obj");
    body(out);
    endFile(out);
    return out.data();
}

} // namespace

// Cut anywhere before its end, a file is refused (and never read past what is there).
TEST_F(ModelReaderMalformed, FileCutShortAnywhereIsRefused) {
    const std::vector<std::uint8_t> whole = starBytes();
    for (std::size_t size = 2; size < whole.size(); ++size) {
        SCOPED_TRACE(size);
        Model target = snapshot;
        std::vector<std::uint8_t> part(whole.begin(), whole.begin() + size);
        reports().clear();
        std::FILE* stream = fmemopen(part.data(), part.size(), "rb");
        ASSERT_NE(stream, nullptr);
        EXPECT_FALSE(reader.load(target, stream, "cut.3ds"));
        std::fclose(stream);
        ASSERT_EQ(reports().size(), 1u);
        EXPECT_EQ(reports()[0].text,
                  std::string("Unable to load the file cut.3ds: ") + endsEarly + "!");
        if (HasFailure()) return;
    }
}

TEST_F(ModelReaderMalformed, LengthsAndCountsThatDisagreeWithTheContentsAreRefused) {
    // A child longer than the chunk that holds it.
    ChunkWriter out;
    beginFile(out);
    out.header(0x4000, 1000);
    out.string("Big");
    endFile(out);
    expectRefused(out.data(), childTooLong);

    // Zero and too-small lengths, at the top and inside.
    expectRefused({0x4D, 0x4D, 0, 0, 0, 0}, chunkTooShort);
    for (std::uint32_t length : {0u, 1u, 5u}) {
        ChunkWriter zero;
        beginFile(zero);
        zero.header(0xABCD, length);
        zero.u32(0);
        endFile(zero);
        expectRefused(zero.data(), chunkTooShort);
    }

    // A few bytes left in a parent, too few for a header.
    ChunkWriter tail;
    beginFile(tail);
    tail.u16(0x4000);
    endFile(tail);
    expectRefused(tail.data(), chunkTooShort);

    // Handlers that would read past their chunk: a face list longer than its length, names
    // without their NUL inside the chunk.
    expectRefused(objectWith([](ChunkWriter& o) {
                      o.header(0x4120, 6 + 2 + 4);
                      o.u16(1);
                      o.u16(0);
                      o.u16(1);
                      o.u16(2);
                      o.u16(0);
                  }),
                  listTooShort);
    expectRefused(objectWith([](ChunkWriter& o) {
                      o.header(0x4130, 6 + 3);
                      o.bytes("Gol", 3);
                      o.begin(0x1111);
                      o.string("d");
                      o.end();
                  }),
                  chunkTooShort);
    ChunkWriter name;
    beginFile(name);
    name.header(0x4000, 6 + 2);
    name.bytes("AB", 2);
    name.begin(0x4100);
    name.end();
    endFile(name);
    expectRefused(name.data(), chunkTooShort);

    // Vertex, face and mapping lists whose count the payload does not hold.
    for (std::uint16_t id : {0x4110, 0x4120, 0x4140}) {
        SCOPED_TRACE(id);
        expectRefused(objectWith([id](ChunkWriter& o) {
                          o.begin(id);
                          o.u16(65535);
                          o.u32(0);
                          o.end();
                      }),
                      listTooShort);
    }
}

TEST_F(ModelReaderMalformed, FacesNamingMissingVerticesAreRefused) {
    expectRefused(objectWith([](ChunkWriter& o) { faceList(o, {0, 1, 3}); }), badVertexIndex);
    // The check applies to the object's final vertex list, whatever the order of chunks.
    expectRefused(objectWith([](ChunkWriter& o) {
                      faceList(o, {0, 1, 2});
                      floatList(o, 0x4110, 2, std::vector<float>(6, 0));
                  }),
                  badVertexIndex);
    const Model ok = expectLoaded(objectWith([](ChunkWriter& o) {
        faceList(o, {0, 1, 2, 2, 1, 0});
    }));
    EXPECT_EQ(ok.objects[0].faceCount, 2);
}

TEST_F(ModelReaderMalformed, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    ChunkWriter out;
    beginFile(out);
    out.begin(0x4000);
    out.string("Deep");
    for (int i = 0; i < 100000; ++i)
        out.begin(0x4100);
    endFile(out);
    expectRefused(out.data(), nestedTooDeep);
}

// Empty material and object chunks (6 and 7 bytes each) would become records of about 500 and
// 400 bytes: a file of nothing else asks for far more memory than its size accounts for.
TEST_F(ModelReaderMalformed, RecordsFarBeyondTheFileSizeAreRefused) {
    for (const bool objects : {false, true}) {
        ChunkWriter out;
        beginFile(out);
        for (int i = 0; i < 50000; ++i) {
            out.begin(objects ? 0x4000 : 0xAFFF);
            if (objects) out.string("");
            out.end();
        }
        endFile(out);
        expectRefused(out.data(), "it asks for far more memory than its size accounts for");
    }
    // Real materials and objects carry their names and data: many of them still load.
    ChunkWriter out;
    beginFile(out);
    for (int i = 0; i < 2000; ++i)
        material(out, "material number " + std::to_string(i) + " with its colours and maps");
    endFile(out);
    EXPECT_EQ(expectLoaded(out.data()).materialCount, 2000);
}

// 20000 materials and as many objects that each name one: the lookups must not scan every
// material each time (that is 2 x 10^8 name comparisons, seconds of CPU time).
TEST_F(ModelReaderMalformed, FaceMaterialLookupsStayLinear) {
    constexpr int count = 20000;
    auto name = [](int i) {
        return "a material with a long shared prefix, number " + std::to_string(i);
    };
    ChunkWriter out;
    beginFile(out);
    for (int i = 0; i < count; ++i)
        material(out, name(i));
    for (int i = 0; i < count; ++i) {
        out.begin(0x4000);
        out.string("o");
        out.begin(0x4130);
        out.string(name(count - 1 - i));
        out.u16(0);
        out.end();
        out.end();
    }
    endFile(out);
    const std::clock_t started = std::clock();
    const Model loaded = expectLoaded(out.data());
    const double seconds = double(std::clock() - started) / CLOCKS_PER_SEC;
    ASSERT_EQ(loaded.objectCount, count);
    EXPECT_EQ(loaded.objects[0].materialId, count - 1);
    EXPECT_EQ(loaded.objects[count - 1].materialId, 0);
    EXPECT_LT(seconds, 1.0) << "CPU seconds for the load";
}

TEST_F(ModelReaderMalformed, OversizedPayloadsAreCutAndTheRestStillLoads) {
    const std::string longName(300, 'n');
    const std::string cut(254, 'n');
    ChunkWriter out;
    beginFile(out);
    out.begin(0x0002); // a version payload longer than four bytes
    out.u32(3);
    out.u32(0xFFFFFFFF);
    out.end();
    out.begin(0x9999); // larger than any scratch buffer
    for (int i = 0; i < 300000; ++i)
        out.u8(static_cast<std::uint8_t>(i));
    out.end();
    out.begin(0xAFFF);
    stringChunk(out, 0xA000, longName);
    out.begin(0xA020);
    out.begin(0x0010); // a floating-point colour: 12 bytes
    for (float c : {0.5f, 0.25f, 1.0f})
        out.f32(c);
    out.end();
    out.end();
    out.begin(0xA200);
    stringChunk(out, 0xA300, longName + ".jpg");
    out.end();
    out.end();
    out.begin(0x4000);
    out.string(longName);
    out.begin(0x4100);
    // Two vertices and one mapping coordinate more than the counts.
    floatList(out, 0x4110, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    floatList(out, 0x4140, 3, std::vector<float>(8, 0.5f));
    faceList(out, {0, 1, 2}, {longName});
    endFile(out);

    const Model m = expectLoaded(out.data());
    ASSERT_EQ(m.materialCount, 1);
    ASSERT_EQ(m.objectCount, 1);
    EXPECT_EQ(m.materials[0].name, cut);
    EXPECT_EQ(m.materials[0].textureFile, cut);
    const float half = 0.5f;
    EXPECT_EQ(0, std::memcmp(m.materials[0].color, &half, 3)); // the first three bytes
    const ModelObject& object = m.objects[0];
    EXPECT_EQ(object.name, cut);
    ASSERT_EQ(object.vertexCount, 3);
    EXPECT_EQ(object.vertices.size(), 3u);
    EXPECT_EQ(object.vertices[2], (Vec3{6, 7, 8}));
    EXPECT_EQ(object.texCoords.size(), 3u);
    EXPECT_EQ(object.faceCount, 1);
    EXPECT_EQ(object.materialId, 0);
    EXPECT_TRUE(object.hasTexture); // the cut names still match each other
}
