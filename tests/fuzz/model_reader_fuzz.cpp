// libFuzzer target for the 3DS reader: any bytes at all must load or be refused cleanly, and a
// loaded model must hold together (counts match arrays, faces name existing vertices, every
// normal is a unit vector or zero).
#include "assets/load_report.h"
#include "assets/model_reader.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

void checkModel(const Model& model) {
    check(model.objectCount == static_cast<std::int32_t>(model.objects.size()));
    check(model.materialCount == static_cast<std::int32_t>(model.materials.size()));
    for (const ModelMaterial& material : model.materials)
        check(material.name[254] == '\0' && material.textureFile[254] == '\0');
    for (const ModelObject& object : model.objects) {
        check(object.name[254] == '\0');
        check(object.materialId >= 0 &&
              (object.materialId < model.materialCount || object.materialId == 0));
        check(object.vertexCount == static_cast<std::int32_t>(object.vertices.size()));
        check(object.vertexCount == static_cast<std::int32_t>(object.normals.size()));
        check(object.faceCount == static_cast<std::int32_t>(object.faces.size()));
        check(object.texCoordCount == static_cast<std::int32_t>(object.texCoords.size()));
        for (const ModelFace& face : object.faces)
            for (std::int32_t index : face.vertexIndex)
                check(index >= 0 && index < object.vertexCount);
        for (const Vec3& n : object.normals) {
            const double length =
                std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
            check(std::isfinite(length) && (length == 0 || std::fabs(length - 1) < 1e-3));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ModelReader reader;
    std::FILE* stream = size > 0 ? fmemopen(const_cast<std::uint8_t*>(data), size, "rb")
                                 : std::fopen("/dev/null", "rb");
    if (!stream) return 0;
    Model model;
    const bool loaded = reader.load(model, stream, "fuzz.3ds");
    std::fclose(stream);
    // A refusal ends with an error report (version warnings may come before it).
    const std::vector<LoadReport> reports = takeLoadReports();
    check(loaded || (!reports.empty() && !reports.back().warning));
    if (loaded)
        checkModel(model);
    else
        check(model.objects.empty() && model.materials.empty() && model.objectCount == 0);
    releaseModel(model);
    return 0;
}
