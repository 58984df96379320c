#include "tools/chunk_writer.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

void ChunkWriter::begin(std::uint16_t id) {
    open_.push_back(data_.size());
    u16(id);
    u32(0);
}

void ChunkWriter::end() {
    if (open_.empty()) throw std::logic_error("ChunkWriter::end without begin");
    const std::size_t start = open_.back();
    open_.pop_back();
    patchU32(start + 2, static_cast<std::uint32_t>(data_.size() - start));
}

void ChunkWriter::header(std::uint16_t id, std::uint32_t length) {
    u16(id);
    u32(length);
}

void ChunkWriter::u8(std::uint8_t value) { data_.push_back(value); }

void ChunkWriter::u16(std::uint16_t value) {
    u8(static_cast<std::uint8_t>(value));
    u8(static_cast<std::uint8_t>(value >> 8));
}

void ChunkWriter::u32(std::uint32_t value) {
    u16(static_cast<std::uint16_t>(value));
    u16(static_cast<std::uint16_t>(value >> 16));
}

void ChunkWriter::f32(float value) { u32(std::bit_cast<std::uint32_t>(value)); }

void ChunkWriter::string(std::string_view text) {
    bytes(text.data(), text.size());
    u8(0);
}

void ChunkWriter::bytes(const void* data, std::size_t count) {
    const auto* first = static_cast<const std::uint8_t*>(data);
    data_.insert(data_.end(), first, first + count);
}

void ChunkWriter::patchU32(std::size_t offset, std::uint32_t value) {
    if (offset + 4 > data_.size()) throw std::out_of_range("ChunkWriter::patchU32");
    for (int i = 0; i < 4; ++i)
        data_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool writeBinaryFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                     std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
