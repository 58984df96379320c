// Writes models in the 3DS subset the show reads, laid out as a modeller writes them: primary
// chunk, version 3, editor chunk with the mesh version first, the materials (name, ambient,
// diffuse and specular colours, each 24-bit followed by its gamma copy, and a texture map), then
// the objects (vertices, mapping coordinates, local axes, and the face list with its face
// material list and smoothing groups nested inside).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct MeshMaterial {
    std::string name;
    std::array<std::uint8_t, 3> color{}; // diffuse red, green, blue
    std::string textureFile;             // empty: no texture map
};

struct MeshObject {
    std::string name;
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<float, 2>> texCoords; // one per vertex, or none
    std::vector<std::array<std::uint16_t, 3>> faces;
    std::string materialName; // the material every face uses; empty: no face material list
};

struct MeshFile {
    std::vector<MeshMaterial> materials;
    std::vector<MeshObject> objects;
};

// False with `error` set when the content does not fit the format (more than 65535 entries, a
// face naming a missing vertex, a name longer than 254 characters).
bool write3ds(const MeshFile& file, std::vector<std::uint8_t>& bytes, std::string& error);
