#include "assets/model_reader.h"

#include "assets/load_report.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr std::uint16_t primaryId = 0x4D4D;
constexpr std::uint16_t versionId = 0x0002;
constexpr std::uint16_t editorId = 0x3D3D;
constexpr std::uint16_t objectId = 0x4000;
constexpr std::uint16_t meshId = 0x4100;
constexpr std::uint16_t vertexListId = 0x4110;
constexpr std::uint16_t faceListId = 0x4120;
constexpr std::uint16_t faceMaterialId = 0x4130;
constexpr std::uint16_t mappingId = 0x4140;
constexpr std::uint16_t materialId = 0xAFFF;
constexpr std::uint16_t materialNameId = 0xA000;
constexpr std::uint16_t diffuseId = 0xA020;
constexpr std::uint16_t textureMapId = 0xA200;
constexpr std::uint16_t textureFileId = 0xA300;

constexpr std::uint32_t headerSize = 6;
constexpr std::size_t nameSize = 255; // the name fields, NUL included
// Memory a load may make: this much, plus modelBytesPerFileByte for every byte read. Vertex,
// face and mapping lists take at most twice their bytes in the file (the normals included); a
// material record takes 513 bytes and an object about 380 for a chunk of 6 or 7 bytes, so
// thousands of empty records are beyond what any real file holds.
constexpr std::uint64_t modelAllowance = 256 * 1024;
constexpr std::uint64_t modelBytesPerFileByte = 16;
// Lists are read in pieces of this many bytes, so that memory grows with what the file holds
// rather than with the counts it claims.
constexpr std::uint32_t listPiece = 12 * 1024;
// Real files nest about six levels deep; the limit keeps a crafted file from exhausting the
// stack with chunks nested inside each other.
constexpr int maxDepth = 32;

// Why a load ends without a model; the text completes "Unable to load the file NAME: ...!".
struct LoadFailure {
    const char* reason;
};
struct NotPrimary {};

constexpr const char* endsEarly = "it ends before its last chunk";
constexpr const char* chunkTooShort = "a chunk is shorter than its contents";
constexpr const char* childTooLong = "a chunk is longer than the chunk that holds it";
constexpr const char* nestedTooDeep = "its chunks are nested too deeply";
constexpr const char* listTooShort = "a list holds fewer entries than its count";
constexpr const char* badVertexIndex = "a face uses a vertex that its object does not have";
constexpr const char* tooMuchMemory = "it asks for far more memory than its size accounts for";

std::uint32_t littleEndian32(const unsigned char* bytes) {
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

float littleEndianFloat(const unsigned char* bytes) {
    // (memcpy rather than std::bit_cast, which the browser build's C++ library lacks)
    const std::uint32_t bits = littleEndian32(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void report(const std::string& file, const std::string& text, bool warning) {
    reportLoadProblem(
        {LoadReport::Kind::Model, warning, file, text, warning ? "Warning" : "Error"});
}

// Every face must name vertices of its own object: drawing and normals index with them.
void checkFaces(const Model& model) {
    for (const ModelObject& object : model.objects)
        for (const ModelFace& face : object.faces)
            for (std::int32_t index : face.vertexIndex)
                if (index < 0 || index >= object.vertexCount) throw LoadFailure{badVertexIndex};
}

// Appends what a load read to the caller's model; fresh holds the caller's materials as well.
void handOver(Model& fresh, Model& model) {
    model.materials = std::move(fresh.materials);
    model.materialCount = fresh.materialCount;
    if (model.objects.empty()) {
        model.objects = std::move(fresh.objects);
    } else {
        for (ModelObject& object : fresh.objects)
            model.objects.push_back(std::move(object));
    }
    model.objectCount += fresh.objectCount;
}

} // namespace

// Counts the chunk loops active at once.
struct ModelReader::Nesting {
    explicit Nesting(int& depth) : depth_(depth) {
        if (++depth_ > maxDepth) throw LoadFailure{nestedTooDeep};
    }
    ~Nesting() { --depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
    int& depth_;
};

bool ModelReader::load(Model& model, const char* fileName) {
    const std::string name = fileName ? fileName : "";
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) {
        report(name, "Unable to find the file: " + name + "!", false);
        return false;
    }
    const bool loaded = load(model, file, name.c_str());
    std::fclose(file);
    return loaded;
}

bool ModelReader::load(Model& model, std::FILE* stream, const char* fileName) {
    const std::string name = fileName ? fileName : "";
    // Read into a fresh model so that a refused file leaves the caller's model as it was.
    // Face material names are looked up among all materials, the caller's ones included.
    Model fresh;
    fresh.materials = model.materials;
    fresh.materialCount = model.materialCount;
    file_ = stream;
    fileName_ = name;
    depth_ = 0;
    consumed_ = 0;
    charged_ = 0;
    materialIndex_.clear();
    indexedMaterials_ = 0;
    try {
        readPrimary(fresh);
        checkFaces(fresh);
    } catch (const NotPrimary&) {
        file_ = nullptr;
        report(name, "Unable to load PRIMARY chunck from file: " + name + "!", false);
        return false;
    } catch (const LoadFailure& failure) {
        file_ = nullptr;
        materialIndex_.clear();
        report(name, "Unable to load the file " + name + ": " + failure.reason + "!", false);
        return false;
    }
    file_ = nullptr;
    materialIndex_.clear();
    computeNormals(fresh);
    handOver(fresh, model);
    return true;
}

void ModelReader::readPrimary(Model& model) {
    unsigned char id[2];
    if (std::fread(id, 1, 2, file_) != 2 || (id[0] | id[1] << 8) != primaryId) throw NotPrimary{};
    unsigned char length[4];
    if (std::fread(length, 1, 4, file_) != 4) throw LoadFailure{endsEarly};
    consumed_ += headerSize;
    Chunk primary{primaryId, littleEndian32(length), headerSize};
    if (primary.length < headerSize) throw LoadFailure{chunkTooShort};
    readEditorChunks(model, primary);
}

// Reads the header of a chunk that lies inside parent, after what parent has consumed so far.
void ModelReader::readChunkHeader(Chunk& chunk, const Chunk& parent) {
    if (parent.remaining() < headerSize) throw LoadFailure{chunkTooShort};
    unsigned char header[headerSize];
    if (std::fread(header, 1, headerSize, file_) != headerSize) throw LoadFailure{endsEarly};
    consumed_ += headerSize;
    chunk.id = static_cast<std::uint16_t>(header[0] | header[1] << 8);
    chunk.length = littleEndian32(header + 2);
    chunk.bytesRead = headerSize;
    if (chunk.length < headerSize) throw LoadFailure{chunkTooShort};
    if (chunk.length > parent.remaining()) throw LoadFailure{childTooLong};
}

// The three chunk loops. The parent advances by what its child's handler consumed, not by the
// child's length: the face list and diffuse colour handlers read only their leading data, and
// the chunks nested after it (face material lists, the colour's gamma copy) are met here as
// further children. Every pass consumes at least a header, so each loop ends.
void ModelReader::readEditorChunks(Model& model, Chunk& parent) {
    Nesting nesting(depth_);
    while (parent.bytesRead < parent.length) {
        Chunk current;
        readChunkHeader(current, parent);
        switch (current.id) {
        case versionId:
            readVersion(current);
            break;
        case editorId:
            readEditorData(model, current);
            break;
        case objectId:
            readObject(model, current);
            break;
        case materialId:
            charge(sizeof(ModelMaterial));
            model.materials.emplace_back();
            ++model.materialCount;
            readMaterialChunks(model, current);
            break;
        default:
            skipChunk(current);
            break;
        }
        parent.bytesRead += current.bytesRead;
    }
}

void ModelReader::readObjectChunks(Model& model, ModelObject& object, Chunk& parent) {
    Nesting nesting(depth_);
    while (parent.bytesRead < parent.length) {
        Chunk current;
        readChunkHeader(current, parent);
        switch (current.id) {
        case meshId:
            readObjectChunks(model, object, current);
            break;
        case vertexListId:
            readVertices(object, current);
            break;
        case faceListId:
            readFaces(object, current);
            break;
        case faceMaterialId:
            readFaceMaterial(model, object, current);
            break;
        case mappingId:
            readTexCoords(object, current);
            break;
        default:
            skipChunk(current);
            break;
        }
        parent.bytesRead += current.bytesRead;
    }
}

// Every handler here fills the material appended last.
void ModelReader::readMaterialChunks(Model& model, Chunk& parent) {
    Nesting nesting(depth_);
    while (parent.bytesRead < parent.length) {
        Chunk current;
        readChunkHeader(current, parent);
        ModelMaterial& material = model.materials.back();
        switch (current.id) {
        case materialNameId:
            readRestString(current, material.name);
            break;
        case diffuseId:
            readColorChunk(material, current);
            break;
        case textureMapId:
            readMaterialChunks(model, current);
            break;
        case textureFileId:
            readRestString(current, material.textureFile);
            break;
        default:
            skipChunk(current);
            break;
        }
        parent.bytesRead += current.bytesRead;
    }
}

void ModelReader::readVersion(Chunk& chunk) {
    unsigned char bytes[4] = {};
    readRest(chunk, bytes, sizeof bytes);
    if ((littleEndian32(bytes) & 0xFFFF) > 3)
        report(fileName_, "This 3DS file is over version 3 so it may load incorrectly", true);
}

// The editor chunk's first child is the mesh version, which nothing here needs.
void ModelReader::readEditorData(Model& model, Chunk& chunk) {
    if (chunk.remaining() == 0) return;
    Chunk first;
    readChunkHeader(first, chunk);
    discard(first, first.remaining());
    chunk.bytesRead += first.bytesRead;
    readEditorChunks(model, chunk);
}

void ModelReader::readObject(Model& model, Chunk& chunk) {
    charge(sizeof(ModelObject));
    ModelObject& object = model.objects.emplace_back();
    ++model.objectCount;
    readString(chunk, object.name, nameSize);
    readObjectChunks(model, object, chunk);
}

template <class Take>
void ModelReader::readEntries(Chunk& chunk, std::uint32_t count, std::uint32_t entrySize,
                              Take take) {
    // Checked before the caller's list grows, so a short file cannot ask for memory it does not
    // fill.
    if (count * entrySize > chunk.remaining()) throw LoadFailure{listTooShort};
    unsigned char bytes[listPiece];
    for (std::uint32_t left = count; left > 0;) {
        const std::uint32_t entries = std::min(left, listPiece / entrySize);
        readBytes(chunk, bytes, entries * entrySize);
        for (std::uint32_t i = 0; i < entries; ++i)
            take(bytes + i * entrySize);
        left -= entries;
    }
}

void ModelReader::readVertices(ModelObject& object, Chunk& chunk) {
    const std::uint16_t count = readU16(chunk);
    std::vector<Vec3> vertices;
    readEntries(chunk, count, 12, [&](const unsigned char* entry) {
        vertices.push_back(
            {littleEndianFloat(entry), littleEndianFloat(entry + 4), littleEndianFloat(entry + 8)});
    });
    charge(std::size_t(count) * 2 * sizeof(Vec3)); // the normals to come included
    object.vertexCount = count;
    object.vertices = std::move(vertices);
    skipChunk(chunk); // more entries than the count: not ours to keep
}

// Reads only the count and the faces: the chunks after them in the face list (its face material
// lists) are left to the object-level loop.
void ModelReader::readFaces(ModelObject& object, Chunk& chunk) {
    const std::uint16_t count = readU16(chunk);
    std::vector<ModelFace> faces;
    readEntries(chunk, count, 8, [&](const unsigned char* entry) {
        ModelFace& face = faces.emplace_back();
        for (int k = 0; k < 3; ++k) // the fourth value, the face flags, is not used
            face.vertexIndex[k] = entry[2 * k] | entry[2 * k + 1] << 8;
    });
    charge(std::size_t(count) * sizeof(ModelFace));
    object.faceCount = count;
    object.faces = std::move(faces);
}

// Finds the material the list names, by exact name; the face indices after the name are not
// needed. A name that matches no material changes nothing.
void ModelReader::readFaceMaterial(Model& model, ModelObject& object, Chunk& chunk) {
    char name[nameSize];
    readString(chunk, name, sizeof name);
    const std::int32_t found = findMaterial(model, name);
    if (found >= 0) {
        object.materialId = found;
        if (model.materials[found].textureFile[0] != '\0') object.hasTexture = true;
    }
    skipChunk(chunk);
}

// Every material but the last is complete (the handlers only write the last one), so those go
// into the index once each; the last one is compared directly. Linear in the materials overall.
std::int32_t ModelReader::findMaterial(const Model& model, const char* name) {
    const std::int32_t complete = model.materialCount - 1;
    for (; indexedMaterials_ < complete; ++indexedMaterials_)
        materialIndex_.try_emplace(model.materials[indexedMaterials_].name, indexedMaterials_);
    const auto it = materialIndex_.find(name);
    if (it != materialIndex_.end()) return it->second;
    if (complete >= 0 && std::strncmp(model.materials[complete].name, name, nameSize) == 0)
        return complete;
    return -1;
}

void ModelReader::charge(std::size_t bytes) {
    charged_ += bytes;
    if (charged_ > modelAllowance + modelBytesPerFileByte * consumed_)
        throw LoadFailure{tooMuchMemory};
}

void ModelReader::readTexCoords(ModelObject& object, Chunk& chunk) {
    const std::uint16_t count = readU16(chunk);
    std::vector<Vec2> texCoords;
    readEntries(chunk, count, 8, [&](const unsigned char* entry) {
        texCoords.push_back({littleEndianFloat(entry), littleEndianFloat(entry + 4)});
    });
    charge(std::size_t(count) * sizeof(Vec2));
    object.texCoordCount = count;
    object.texCoords = std::move(texCoords);
    skipChunk(chunk);
}

// Only the first colour sub-chunk is read here (a 24-bit colour: red, green, blue); a gamma
// copy after it is met, and skipped, by the material-level loop.
void ModelReader::readColorChunk(ModelMaterial& material, Chunk& chunk) {
    if (chunk.remaining() == 0) return;
    Chunk color;
    readChunkHeader(color, chunk);
    readRest(color, material.color, sizeof material.color);
    chunk.bytesRead += color.bytesRead;
}

// Reads count bytes of the chunk's payload; never past the chunk or the file.
void ModelReader::readBytes(Chunk& chunk, void* destination, std::uint32_t count) {
    if (count > chunk.remaining()) throw LoadFailure{chunkTooShort};
    if (std::fread(destination, 1, count, file_) != count) throw LoadFailure{endsEarly};
    consumed_ += count;
    chunk.bytesRead += count;
}

std::uint16_t ModelReader::readU16(Chunk& chunk) {
    unsigned char bytes[2];
    readBytes(chunk, bytes, 2);
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

// Reads a NUL-terminated string one byte at a time; the NUL must lie inside the chunk. Stores
// at most capacity - 1 characters and a NUL; longer strings are consumed to their end.
void ModelReader::readString(Chunk& chunk, char* buffer, std::size_t capacity) {
    std::size_t length = 0;
    for (;;) {
        char c;
        readBytes(chunk, &c, 1);
        if (c == '\0') break;
        if (length + 1 < capacity) buffer[length] = c;
        ++length;
    }
    buffer[std::min(length, capacity - 1)] = '\0';
}

// Reads the rest of the chunk into destination: at most capacity bytes are kept, the excess is
// consumed and discarded. Returns the number kept.
std::size_t ModelReader::readRest(Chunk& chunk, void* destination, std::size_t capacity) {
    const std::uint32_t total = chunk.remaining();
    const std::uint32_t kept = static_cast<std::uint32_t>(std::min<std::size_t>(total, capacity));
    readBytes(chunk, destination, kept);
    discard(chunk, total - kept);
    return kept;
}

// The rest of the chunk (a NUL-terminated string) into a name field, cut to fit with its NUL.
void ModelReader::readRestString(Chunk& chunk, char (&field)[255]) {
    field[readRest(chunk, field, sizeof field - 1)] = '\0';
}

void ModelReader::skipChunk(Chunk& chunk) { discard(chunk, chunk.remaining()); }

// Reads and throws away count bytes of the chunk in pieces: no allocation, no seeking.
void ModelReader::discard(Chunk& chunk, std::uint32_t count) {
    unsigned char scratch[8192];
    while (count > 0) {
        const std::uint32_t piece = std::min<std::uint32_t>(count, sizeof scratch);
        readBytes(chunk, scratch, piece);
        count -= piece;
    }
}
