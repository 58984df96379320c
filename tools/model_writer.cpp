#include "tools/model_writer.h"

#include "tools/chunk_writer.h"

#include <cmath>

namespace {

constexpr std::size_t maxEntries = 65535;
constexpr std::size_t maxName = 254;

bool validName(const std::string& name) {
    return name.size() <= maxName && name.find('\0') == std::string::npos;
}

bool validate(const MeshFile& file, std::string& error) {
    for (const MeshMaterial& material : file.materials) {
        if (!validName(material.name) || !validName(material.textureFile)) {
            error = "material name or texture file name does not fit";
            return false;
        }
    }
    for (const MeshObject& object : file.objects) {
        if (!validName(object.name) || !validName(object.materialName)) {
            error = "object " + object.name + ": name does not fit";
            return false;
        }
        if (object.vertices.size() > maxEntries || object.faces.size() > maxEntries) {
            error = "object " + object.name + ": more than 65535 vertices or faces";
            return false;
        }
        if (!object.texCoords.empty() && object.texCoords.size() != object.vertices.size()) {
            error = "object " + object.name + ": mapping coordinates must match the vertices";
            return false;
        }
        for (const auto& face : object.faces)
            for (std::uint16_t index : face)
                if (index >= object.vertices.size()) {
                    error = "object " + object.name + ": a face names a missing vertex";
                    return false;
                }
    }
    return true;
}

// A colour chunk as modellers write it: the 24-bit colour, then its gamma-corrected copy.
void writeColor(ChunkWriter& out, std::uint16_t id, const std::array<std::uint8_t, 3>& color) {
    out.begin(id);
    out.begin(0x0011);
    for (std::uint8_t c : color)
        out.u8(c);
    out.end();
    out.begin(0x0012);
    for (std::uint8_t c : color)
        out.u8(static_cast<std::uint8_t>(std::lround(255.0 * std::pow(c / 255.0, 2.2))));
    out.end();
    out.end();
}

std::array<std::uint8_t, 3> scaled(const std::array<std::uint8_t, 3>& color, int percent) {
    std::array<std::uint8_t, 3> result;
    for (int i = 0; i < 3; ++i)
        result[i] = static_cast<std::uint8_t>(color[i] * percent / 100);
    return result;
}

void writeMaterial(ChunkWriter& out, const MeshMaterial& material) {
    out.begin(0xAFFF);
    out.begin(0xA000);
    out.string(material.name);
    out.end();
    writeColor(out, 0xA010, scaled(material.color, 30)); // ambient
    writeColor(out, 0xA020, material.color);             // diffuse
    writeColor(out, 0xA030, {229, 229, 229});            // specular
    if (!material.textureFile.empty()) {
        out.begin(0xA200);
        out.begin(0x0030); // strength in percent
        out.u16(100);
        out.end();
        out.begin(0xA300);
        out.string(material.textureFile);
        out.end();
        out.end();
    }
    out.end();
}

void writeObject(ChunkWriter& out, const MeshObject& object) {
    out.begin(0x4000);
    out.string(object.name);
    out.begin(0x4100);

    out.begin(0x4110);
    out.u16(static_cast<std::uint16_t>(object.vertices.size()));
    for (const auto& v : object.vertices)
        for (float c : v)
            out.f32(c);
    out.end();

    if (!object.texCoords.empty()) {
        out.begin(0x4140);
        out.u16(static_cast<std::uint16_t>(object.texCoords.size()));
        for (const auto& t : object.texCoords)
            for (float c : t)
                out.f32(c);
        out.end();
    }

    out.begin(0x4160); // local axes: identity, origin at zero
    const float axes[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (float c : axes)
        out.f32(c);
    out.end();

    out.begin(0x4120);
    out.u16(static_cast<std::uint16_t>(object.faces.size()));
    for (const auto& face : object.faces) {
        for (std::uint16_t index : face)
            out.u16(index);
        out.u16(0x0007); // edge visibility flags
    }
    if (!object.materialName.empty()) {
        out.begin(0x4130);
        out.string(object.materialName);
        out.u16(static_cast<std::uint16_t>(object.faces.size()));
        for (std::size_t i = 0; i < object.faces.size(); ++i)
            out.u16(static_cast<std::uint16_t>(i));
        out.end();
    }
    out.begin(0x4150); // smoothing groups: all faces in group 1
    for (std::size_t i = 0; i < object.faces.size(); ++i)
        out.u32(1);
    out.end();
    out.end();

    out.end();
    out.end();
}

} // namespace

bool write3ds(const MeshFile& file, std::vector<std::uint8_t>& bytes, std::string& error) {
    if (!validate(file, error)) return false;
    ChunkWriter out;
    out.begin(0x4D4D);
    out.begin(0x0002); // file version
    out.u32(3);
    out.end();
    out.begin(0x3D3D);
    out.begin(0x3D3E); // mesh version: the editor chunk's first child
    out.u32(3);
    out.end();
    for (const MeshMaterial& material : file.materials)
        writeMaterial(out, material);
    out.begin(0x0100); // master scale
    out.f32(1.0f);
    out.end();
    for (const MeshObject& object : file.objects)
        writeObject(out, object);
    out.end();
    out.end();
    bytes = out.data();
    return true;
}
