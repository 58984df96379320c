#include "tests/model_test_support.h"

#include <sstream>

void ModelFileTest::SetUp() { takeLoadReports(); }

void ModelFileTest::TearDown() { takeLoadReports(); }

std::vector<LoadReport>& ModelFileTest::reports() {
    for (LoadReport& report : takeLoadReports())
        reports_.push_back(std::move(report));
    return reports_;
}

std::string ModelFileTest::writeTestFile(const std::vector<std::uint8_t>& bytes,
                                         const std::string& suffix) {
    static int written = 0;
    const std::string path =
        ::testing::TempDir() + "tuvero_" + std::to_string(++written) + "_" + suffix;
    std::string error;
    EXPECT_TRUE(writeBinaryFile(path, bytes, error)) << error;
    return path;
}

bool ModelFileTest::load(Model& into, const std::vector<std::uint8_t>& bytes) {
    return reader.load(into, writeTestFile(bytes).c_str());
}

void beginFile(ChunkWriter& out, std::uint32_t version) {
    out.begin(0x4D4D);
    out.begin(0x0002);
    out.u32(version);
    out.end();
    out.begin(0x3D3D);
    out.begin(0x3D3E);
    out.u32(3);
    out.end();
}

void endFile(ChunkWriter& out) {
    while (out.openChunks() > 0)
        out.end();
}

void stringChunk(ChunkWriter& out, std::uint16_t id, const std::string& text) {
    out.begin(id);
    out.string(text);
    out.end();
}

void material(ChunkWriter& out, const std::string& name, const std::string& texture) {
    out.begin(0xAFFF);
    stringChunk(out, 0xA000, name);
    if (!texture.empty()) {
        out.begin(0xA200);
        stringChunk(out, 0xA300, texture);
        out.end();
    }
    out.end();
}

void floatList(ChunkWriter& out, std::uint16_t id, std::uint16_t count,
               const std::vector<float>& values) {
    out.begin(id);
    out.u16(count);
    for (float v : values)
        out.f32(v);
    out.end();
}

void beginTriangleMesh(ChunkWriter& out, const std::string& name) {
    out.begin(0x4000);
    out.string(name);
    out.begin(0x4100);
    floatList(out, 0x4110, 3, {0, 0, 0, 1, 0, 0, 0, 1, 0});
}

void faceList(ChunkWriter& out, std::initializer_list<std::uint16_t> indices,
              const std::vector<std::string>& faceMaterials) {
    out.begin(0x4120);
    out.u16(static_cast<std::uint16_t>(indices.size() / 3));
    std::size_t n = 0;
    for (std::uint16_t i : indices) {
        out.u16(i);
        if (++n % 3 == 0) out.u16(0);
    }
    for (const std::string& name : faceMaterials) {
        out.begin(0x4130);
        out.string(name);
        out.u16(1);
        out.u16(0);
        out.end();
    }
    out.end();
}

void triangleObject(ChunkWriter& out, const std::string& name,
                    const std::vector<std::string>& faceMaterials) {
    beginTriangleMesh(out, name);
    faceList(out, {0, 1, 2}, faceMaterials);
    out.end();
    out.end();
}

std::string describeModel(const Model& model) {
    std::ostringstream out;
    out << std::hexfloat << model.objectCount << " objects, " << model.materialCount
        << " materials\n";
    for (const ModelMaterial& m : model.materials)
        out << "material " << m.name << " texture " << m.textureFile << " colour "
            << int{m.color[0]} << ' ' << int{m.color[1]} << ' ' << int{m.color[2]} << '\n';
    const auto vectors = [&](const char* what, const std::vector<Vec3>& list) {
        out << '\n' << what;
        for (const Vec3& v : list)
            out << ' ' << v.x << ',' << v.y << ',' << v.z;
    };
    for (const ModelObject& o : model.objects) {
        out << "object " << o.name << " counts " << o.vertexCount << ' ' << o.faceCount << ' '
            << o.texCoordCount << " material " << o.materialId << " textured " << o.hasTexture;
        vectors("vertices", o.vertices);
        vectors("normals", o.normals);
        out << "\ntexCoords";
        for (const Vec2& t : o.texCoords)
            out << ' ' << t.x << ',' << t.y;
        out << "\nfaces";
        for (const ModelFace& f : o.faces)
            out << ' ' << f.vertexIndex[0] << ',' << f.vertexIndex[1] << ',' << f.vertexIndex[2];
        out << '\n';
    }
    return out.str();
}
