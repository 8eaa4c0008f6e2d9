#include "media/image/dib_image.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace vellum::media {

static_assert(sizeof(DibHeader) == 40, "the header is stored byte for byte at the start of the block");

namespace {

constexpr const char* kZeroSize = "DibImage::Create : width and height must be greater than zero";
constexpr const char* kTooLarge = "DIBIMAGE_MAX_MEMORY exceeded";
constexpr const char* kNoMemory = "DibImage::Create can't allocate memory";

uint32_t RoundedDepth(uint32_t depth)
{
    if (depth <= 1) return 1;
    if (depth <= 4) return 4;
    if (depth <= 8) return 8;
    return 24;
}

uint32_t PaletteSize(uint32_t depth)
{
    return depth == 24 ? 0 : 1u << depth;
}

} // namespace

DibImage::DibImage(DibImage&& other) noexcept
    : buffer(std::move(other.buffer)), header(other.header), stride(other.stride), bits(other.bits),
      type(other.type), lastError(std::move(other.lastError)), enabled(other.enabled)
{
    other.Release();
}

DibImage& DibImage::operator=(DibImage&& other) noexcept
{
    if (this == &other) return *this;
    // The pixels change hands; the target keeps its own error history and
    // drawing switch.
    buffer = std::move(other.buffer);
    header = other.header;
    stride = other.stride;
    bits = other.bits;
    type = other.type;
    other.Release();
    return *this;
}

void DibImage::Release()
{
    buffer.reset();
    header = DibHeader{};
    stride = 0;
    bits = nullptr;
    type = 0;
}

bool DibImage::Create(uint32_t width, uint32_t height, uint32_t bitDepth, int32_t type_)
{
    Release();
    if (width == 0 || height == 0) {
        lastError = kZeroSize;
        return false;
    }
    const uint32_t depth = RoundedDepth(bitDepth);
    // The bit count is taken exactly, so that no product can wrap past the
    // limit, and no side may be too long for the header's signed fields.
    // Rows are padded to whole words: a narrow picture of small pixels
    // takes many times its pixel bits, and the padded size must still fit
    // the header's 32-bit image size.
    const uint64_t pixelBits = uint64_t{width} * height * depth;
    const uint64_t rowBytes = (uint64_t{width} * depth + 31) / 32 * 4;
    const uint64_t imageBytes = rowBytes * height;
    constexpr uint32_t kLongestSide = std::numeric_limits<int32_t>::max();
    if ((pixelBits & ~uint64_t{7}) > kMaxPixelBits || width > kLongestSide || height > kLongestSide ||
        imageBytes > std::numeric_limits<uint32_t>::max()) {
        lastError = kTooLarge;
        return false;
    }
    const uint32_t colours = PaletteSize(depth);
    const size_t blockBytes = static_cast<size_t>(imageBytes) + sizeof(DibHeader) + 4 * colours;

    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[blockBytes]);
    if (!block) {
        lastError = kNoMemory;
        return false;
    }

    header = DibHeader{};
    header.width = static_cast<int32_t>(width);
    header.height = static_cast<int32_t>(height);
    header.bitCount = static_cast<uint16_t>(depth);
    header.imageSize = static_cast<uint32_t>(imageBytes);
    header.colorsUsed = colours;
    stride = static_cast<uint32_t>(rowBytes);
    type = type_;
    buffer = std::move(block);
    std::memcpy(buffer.get(), &header, sizeof(DibHeader));
    std::memset(buffer.get() + sizeof(DibHeader), 0, 4 * colours);
    bits = buffer.get() + sizeof(DibHeader) + 4 * colours;

    // The pixels themselves stay as they came, but the padding behind each
    // row is cleared, so that what an operation leaves there is always the same.
    const uint64_t usedBytes = (uint64_t{width} * depth + 7) / 8;
    if (usedBytes < rowBytes) {
        for (uint32_t r = 0; r < height; ++r) {
            std::memset(Row(static_cast<int32_t>(r)) + usedBytes, 0, rowBytes - usedBytes);
        }
    }
    return true;
}

uint8_t* DibImage::Palette()
{
    return buffer ? buffer.get() + sizeof(DibHeader) : nullptr;
}

const uint8_t* DibImage::Palette() const
{
    return buffer ? buffer.get() + sizeof(DibHeader) : nullptr;
}

uint8_t* DibImage::Pixel(int32_t x, int32_t r)
{
    if (!buffer || header.bitCount != 24 || x < 0 || r < 0 || x >= header.width || r >= header.height) return nullptr;
    return Row(r) + 3 * static_cast<size_t>(x);
}

} // namespace vellum::media
