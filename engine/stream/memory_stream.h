// A growable in-memory byte stream: the compiler writes its code into one,
// the lexer collects string literals in one, and texts can be read back
// from one through its text reader.
#pragma once

#include "engine/stream/byte_stream.h"

#include <cstdint>
#include <vector>

namespace vellum {

class MemoryStream final : public ByteStream {
public:
    static constexpr uint32_t kGrowthStep = 4096;

    explicit MemoryStream(Interpreter* ip = nullptr) : ByteStream(ip) {}

    // Copies what lies between the position and the end of the data.
    size_t Read(void* buffer, size_t n) override;
    // Writing past the end of the data leaves zeros in the gap. Data that
    // would reach beyond the 32-bit offset range is cut there.
    void Write(const void* buffer, size_t n) override;
    // Any offset is accepted; reading there gives nothing until written.
    void Seek(uint32_t offset) override { position = offset; }
    void SeekEnd() override { position = size; }
    uint32_t Size() override { return size; }

    // Hands the written bytes over and leaves the stream empty.
    std::vector<uint8_t> Detach();
    // Drops the data and leaves the stream empty.
    void FreeData();

    const uint8_t* Data() const { return data.data(); }
    uint32_t Capacity() const { return static_cast<uint32_t>(data.size()); }

private:
    // Every byte up to the capacity exists; those past `size` are zero.
    std::vector<uint8_t> data;
};

} // namespace vellum
