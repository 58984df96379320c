// Reads the part of the 3DS chunk format the show needs (objects with vertices, faces, texture
// coordinates and their material, materials with name, diffuse colour and texture file) into a
// Model, then computes its normals.
//
// A model file is input from outside: every read stays inside its chunk and its destination,
// and a file whose chunk lengths disagree with its contents is refused with a load report.
// What a file can make the reader allocate is bounded by its size: a fixed allowance plus a
// few times the bytes read, so a file of empty chunks cannot become a heap of records. A
// refused file leaves the model exactly as it was.
#pragma once

#include "assets/model.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>

class ModelReader {
  public:
    // Reads fileName and appends its materials and objects to model (callers pass it empty).
    // Failures are queued as load reports titled "Error" and leave the model untouched; a file
    // above version 3 is reported as a warning and still loads. Returns whether the model was
    // filled.
    bool load(Model& model, const char* fileName);
    // The same from an open stream, read from its current position to the end of the primary
    // chunk and left open; fileName names it in the messages.
    bool load(Model& model, std::FILE* stream, const char* fileName);

  private:
    struct Chunk {
        std::uint16_t id = 0;
        std::uint32_t length = 0;    // the whole chunk, its 6 header bytes included
        std::uint32_t bytesRead = 0; // consumed so far, header included
        std::uint32_t remaining() const { return length - bytesRead; }
    };

    void readPrimary(Model& model);
    void readChunkHeader(Chunk& chunk, const Chunk& parent);
    void readEditorChunks(Model& model, Chunk& parent);
    void readObjectChunks(Model& model, ModelObject& object, Chunk& parent);
    void readMaterialChunks(Model& model, Chunk& parent);
    void readVersion(Chunk& chunk);
    void readEditorData(Model& model, Chunk& chunk);
    void readObject(Model& model, Chunk& chunk);
    void readVertices(ModelObject& object, Chunk& chunk);
    void readFaces(ModelObject& object, Chunk& chunk);
    void readFaceMaterial(Model& model, ModelObject& object, Chunk& chunk);
    void readTexCoords(ModelObject& object, Chunk& chunk);
    void readColorChunk(ModelMaterial& material, Chunk& chunk);

    void readBytes(Chunk& chunk, void* destination, std::uint32_t count);
    // Reads `count` entries of `entrySize` bytes a piece at a time, handing each to `take`;
    // refused before anything is read when the chunk cannot hold them all.
    template <class Take>
    void readEntries(Chunk& chunk, std::uint32_t count, std::uint32_t entrySize, Take take);
    std::uint16_t readU16(Chunk& chunk);
    void readString(Chunk& chunk, char* buffer, std::size_t capacity);
    std::size_t readRest(Chunk& chunk, void* destination, std::size_t capacity);
    void readRestString(Chunk& chunk, char (&field)[255]);
    void skipChunk(Chunk& chunk);
    void discard(Chunk& chunk, std::uint32_t count);

    struct Nesting;

    // Charges `bytes` of model memory against what the file has supplied so far.
    void charge(std::size_t bytes);
    // The index of the first material named `name`, or -1.
    std::int32_t findMaterial(const Model& model, const char* name);

    std::FILE* file_ = nullptr;
    std::string fileName_;       // of the load in progress, for its reports
    int depth_ = 0;              // chunk loops active now
    std::uint64_t consumed_ = 0; // bytes read from the file in this load
    std::uint64_t charged_ = 0;  // bytes of records and lists made in this load
    std::unordered_map<std::string, std::int32_t> materialIndex_; // first index of each name
    std::int32_t indexedMaterials_ = 0; // materials [0, this) are in materialIndex_
};
