// Builds files in the 3DS chunk format in memory: little-endian numbers and nested chunks whose
// lengths are filled in when they close.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ChunkWriter {
  public:
    // Opens a chunk inside the one open now; its length is written by the matching end().
    void begin(std::uint16_t id);
    void end();
    // A header with the length given, written as is (for files whose lengths are wrong on
    // purpose); it opens nothing.
    void header(std::uint16_t id, std::uint32_t length);

    void u8(std::uint8_t value);
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void f32(float value);
    void string(std::string_view text); // the characters and a NUL
    void bytes(const void* data, std::size_t count);

    // Overwrites four bytes at offset with a little-endian value.
    void patchU32(std::size_t offset, std::uint32_t value);

    std::size_t size() const { return data_.size(); }
    std::size_t openChunks() const { return open_.size(); }
    const std::vector<std::uint8_t>& data() const { return data_; }

  private:
    std::vector<std::uint8_t> data_;
    std::vector<std::size_t> open_; // offsets of the open chunks' headers
};

// Writes bytes to path, replacing the file. False with `error` set on failure.
bool writeBinaryFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                     std::string& error);
