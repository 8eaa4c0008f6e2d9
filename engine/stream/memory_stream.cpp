// The growable in-memory byte stream.
#include "engine/stream/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vellum {

size_t MemoryStream::Read(void* buffer, size_t n)
{
    if (position >= size || n == 0) return 0;
    const size_t count = std::min<size_t>(n, size - position);
    std::memcpy(buffer, data.data() + position, count);
    position += static_cast<uint32_t>(count);
    return count;
}

void MemoryStream::Write(const void* buffer, size_t n)
{
    const size_t room = std::numeric_limits<uint32_t>::max() - position;
    const auto count = static_cast<uint32_t>(std::min(n, room));
    if (count == 0) return;
    const uint64_t end = uint64_t{position} + count;
    if (end > data.size()) {
        // Whole steps, so that a stream written a little at a time
        // reallocates rarely.
        const uint64_t missing = end - data.size();
        const uint64_t steps = (missing + kGrowthStep - 1) / kGrowthStep;
        const uint64_t capacity = data.size() + steps * kGrowthStep;
        data.resize(std::min<uint64_t>(capacity, std::numeric_limits<uint32_t>::max()));
    }
    std::memcpy(data.data() + position, buffer, count);
    position += count;
    size = std::max(size, position);
}

std::vector<uint8_t> MemoryStream::Detach()
{
    data.resize(size);
    std::vector<uint8_t> bytes = std::move(data);
    FreeData();
    return bytes;
}

void MemoryStream::FreeData()
{
    data = {};
    size = 0;
    position = 0;
}

} // namespace vellum
