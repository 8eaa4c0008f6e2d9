// The in-memory picture of a TBitmap: a device-independent bitmap held in
// one heap block (the 40-byte header, the palette, then the pixel rows).
// Rows are bottom-up and padded to 4 bytes; 24-bit pixels are blue, green,
// red. Creation enforces the memory limit and records why it failed, so the
// script never sees an error: an operation that cannot make its image
// simply does nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vellum::media {

// The most pixel data an image may hold: 256 MiB, in bits.
constexpr uint64_t kMaxPixelBits = 0x80000000u;

// The BITMAPINFOHEADER at the start of the block, field for field.
struct DibHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t colorsUsed = 0;
    uint32_t colorsImportant = 0;
};

class DibImage {
public:
    DibImage() = default;
    // Moving hands over the buffer and the header and leaves the source empty.
    DibImage(DibImage&& other) noexcept;
    DibImage& operator=(DibImage&& other) noexcept;
    DibImage(const DibImage&) = delete;
    DibImage& operator=(const DibImage&) = delete;

    // Releases the old pixels, then makes a width x height image of the
    // depth rounded up to 1, 4, 8 or 24. The pixel bytes are not cleared.
    // False, with LastError() set, on a zero size, past the memory limit or
    // when the block cannot be allocated.
    bool Create(uint32_t width, uint32_t height, uint32_t bitDepth, int32_t type = 0);
    void Release();

    bool Empty() const { return !buffer; }
    int32_t Width() const { return header.width; }
    int32_t Height() const { return header.height; }
    uint16_t BitCount() const { return header.bitCount; }
    uint32_t Stride() const { return stride; }
    uint32_t ColorsUsed() const { return header.colorsUsed; }
    const DibHeader& Header() const { return header; }
    int32_t Type() const { return type; }

    // The palette (4 bytes per entry) and the first pixel row (the bottom
    // one); null for an empty image.
    uint8_t* Palette();
    const uint8_t* Palette() const;
    uint8_t* Bits() { return bits; }
    const uint8_t* Bits() const { return bits; }
    // Buffer row r, counted from the bottom.
    uint8_t* Row(int32_t r) { return bits + static_cast<size_t>(r) * stride; }
    const uint8_t* Row(int32_t r) const { return bits + static_cast<size_t>(r) * stride; }
    // The three bytes of 24-bit pixel (x, buffer row r); null outside the
    // image and for images with a palette.
    uint8_t* Pixel(int32_t x, int32_t r);

    const std::string& LastError() const { return lastError; }
    bool Enabled() const { return enabled; }
    void SetEnabled(bool on) { enabled = on; }

private:
    std::unique_ptr<uint8_t[]> buffer;
    DibHeader header;
    uint32_t stride = 0;
    uint8_t* bits = nullptr;
    int32_t type = 0;
    std::string lastError;
    bool enabled = true;
};

} // namespace vellum::media
