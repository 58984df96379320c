// Shared code of the model tests: a fixture that collects the reader's reports and loads
// bytes written to a file of its own, builders of hand-made 3DS files, and model comparison.
#pragma once

#include "assets/load_report.h"
#include "assets/model.h"
#include "assets/model_reader.h"
#include "platform/platform.h"
#include "tools/chunk_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class ModelFileTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh file in the test process's own scratch folder, holding bytes.
    std::string writeTestFile(const std::vector<std::uint8_t>& bytes,
                              const std::string& suffix = "model.3ds");
    bool load(const std::vector<std::uint8_t>& bytes) { return load(model, bytes); }
    bool load(Model& into, const std::vector<std::uint8_t>& bytes);

    // The reader's reports so far (taken from the queue on each call).
    std::vector<LoadReport>& reports();

    ModelReader reader;
    Model model;
    std::vector<LoadReport> reports_;
};

// Opens the primary chunk, its version chunk and the editor chunk with its mesh version;
// endFile closes every chunk still open.
void beginFile(ChunkWriter& out, std::uint32_t version = 3);
void endFile(ChunkWriter& out);
void stringChunk(ChunkWriter& out, std::uint16_t id, const std::string& text);
// A material with its name and, unless `texture` is empty, a texture map naming it.
void material(ChunkWriter& out, const std::string& name, const std::string& texture = "");
// A list chunk: a 16-bit count, then `values` as floats (as many as the test wants, whatever
// the count says).
void floatList(ChunkWriter& out, std::uint16_t id, std::uint16_t count,
               const std::vector<float>& values);
// Opens an object and its mesh, and writes a list of three vertices; the mesh stays open.
void beginTriangleMesh(ChunkWriter& out, const std::string& name);
// A face list of the triangles in `indices` (three a face, flags 0), holding one face
// material list (face 0) for each name in `faceMaterials`.
void faceList(ChunkWriter& out, std::initializer_list<std::uint16_t> indices,
              const std::vector<std::string>& faceMaterials = {});
// An object with one triangle whose face list holds `faceMaterials`.
void triangleObject(ChunkWriter& out, const std::string& name,
                    const std::vector<std::string>& faceMaterials = {});

// Every field of a model as text, floats in hexadecimal so that equal text means equal values.
std::string describeModel(const Model& model);
