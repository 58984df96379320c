// Shared code of the model tests: a fixture that captures the reader's message boxes and loads
// bytes written to a file of its own, and model comparison.
#pragma once

#include "assets/model.h"
#include "assets/model_reader.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class ModelFileTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A file of this test's own, holding bytes.
    std::string writeTestFile(const std::vector<std::uint8_t>& bytes,
                              const std::string& suffix = "model.3ds");
    bool load(const std::vector<std::uint8_t>& bytes) { return load(model, bytes); }
    bool load(Model& into, const std::vector<std::uint8_t>& bytes);

    ModelReader reader;
    Model model;
    std::vector<platform::MessageBoxRequest> messages;
    std::vector<std::string> files;
};

// Compares every field of two models; arrays element by element, floats bit for bit.
void expectSameModel(const Model& actual, const Model& expected);
