#include "assets/model_reader.h"

#include "platform/platform.h"

#include <algorithm>
#include <bit>
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

std::uint32_t littleEndian32(const unsigned char* bytes) {
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

float littleEndianFloat(const unsigned char* bytes) {
    return std::bit_cast<float>(littleEndian32(bytes));
}

void show(const std::string& text, const char* title) {
    platform::messageBox(platform::MessageBoxRequest{text, title, false});
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
        show("Unable to find the file: " + name + "!", "Error");
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
    depth_ = 0;
    try {
        readPrimary(fresh);
        checkFaces(fresh);
    } catch (const NotPrimary&) {
        file_ = nullptr;
        show("Unable to load PRIMARY chunck from file: " + name + "!", "Error");
        return false;
    } catch (const LoadFailure& failure) {
        file_ = nullptr;
        show("Unable to load the file " + name + ": " + failure.reason + "!", "Error");
        return false;
    }
    file_ = nullptr;
    computeNormals(fresh);
    handOver(fresh, model);
    return true;
}

void ModelReader::readPrimary(Model& model) {
    unsigned char id[2];
    if (std::fread(id, 1, 2, file_) != 2 || (id[0] | id[1] << 8) != primaryId) throw NotPrimary{};
    unsigned char length[4];
    if (std::fread(length, 1, 4, file_) != 4) throw LoadFailure{endsEarly};
    Chunk primary{primaryId, littleEndian32(length), headerSize};
    if (primary.length < headerSize) throw LoadFailure{chunkTooShort};
    readEditorChunks(model, primary);
}

// Reads the header of a chunk that lies inside parent, after what parent has consumed so far.
void ModelReader::readChunkHeader(Chunk& chunk, const Chunk& parent) {
    if (parent.remaining() < headerSize) throw LoadFailure{chunkTooShort};
    unsigned char header[headerSize];
    if (std::fread(header, 1, headerSize, file_) != headerSize) throw LoadFailure{endsEarly};
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
        show("This 3DS file is over version 3 so it may load incorrectly", "Warning");
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
    ModelObject& object = model.objects.emplace_back();
    ++model.objectCount;
    readString(chunk, object.name, nameSize);
    readObjectChunks(model, object, chunk);
}

void ModelReader::readVertices(ModelObject& object, Chunk& chunk) {
    const std::uint16_t count = readU16(chunk);
    constexpr std::uint32_t entrySize = 12;
    // Checked before allocating, so a short file cannot ask for memory it does not fill.
    if (std::uint32_t(count) * entrySize > chunk.remaining()) throw LoadFailure{listTooShort};
    std::vector<unsigned char> bytes(std::size_t(count) * entrySize);
    readBytes(chunk, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    object.vertexCount = count;
    object.vertices.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = bytes.data() + i * entrySize;
        object.vertices[i] = {littleEndianFloat(entry), littleEndianFloat(entry + 4),
                              littleEndianFloat(entry + 8)};
    }
    skipChunk(chunk); // more entries than the count: not ours to keep
}

// Reads only the count and the faces: the chunks after them in the face list (its face material
// lists) are left to the object-level loop.
void ModelReader::readFaces(ModelObject& object, Chunk& chunk) {
    const std::uint16_t count = readU16(chunk);
    constexpr std::uint32_t entrySize = 8;
    if (std::uint32_t(count) * entrySize > chunk.remaining()) throw LoadFailure{listTooShort};
    object.faceCount = count;
    object.faces.resize(count);
    for (ModelFace& face : object.faces) {
        for (std::int32_t& index : face.vertexIndex)
            index = readU16(chunk);
        readU16(chunk); // face flags: not used
    }
}

// Finds the material the list names, by exact name; the face indices after the name are not
// needed. A name that matches no material changes nothing.
void ModelReader::readFaceMaterial(Model& model, ModelObject& object, Chunk& chunk) {
    char name[nameSize];
    readString(chunk, name, sizeof name);
    for (std::int32_t i = 0; i < model.materialCount; ++i) {
        const ModelMaterial& material = model.materials[i];
        if (std::strncmp(material.name, name, nameSize) != 0) continue;
        object.materialId = i;
        if (material.textureFile[0] != '\0') object.hasTexture = true;
        break;
    }
    skipChunk(chunk);
}

void ModelReader::readTexCoords(ModelObject& object, Chunk& chunk) {
    const std::uint16_t count = readU16(chunk);
    constexpr std::uint32_t entrySize = 8;
    if (std::uint32_t(count) * entrySize > chunk.remaining()) throw LoadFailure{listTooShort};
    std::vector<unsigned char> bytes(std::size_t(count) * entrySize);
    readBytes(chunk, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    object.texCoordCount = count;
    object.texCoords.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = bytes.data() + i * entrySize;
        object.texCoords[i] = {littleEndianFloat(entry), littleEndianFloat(entry + 4)};
    }
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

void ModelReader::skipChunk(Chunk& chunk) {
    discard(chunk, chunk.remaining());
}

// Reads and throws away count bytes of the chunk in pieces: no allocation, no seeking.
void ModelReader::discard(Chunk& chunk, std::uint32_t count) {
    unsigned char scratch[8192];
    while (count > 0) {
        const std::uint32_t piece = std::min<std::uint32_t>(count, sizeof scratch);
        readBytes(chunk, scratch, piece);
        count -= piece;
    }
}
