// Brightness and contrast: one table of 256 levels, applied to every byte
// of the pixel area (the three channels share it; the padding is mapped
// too, as it is part of the area) or, for a palette image, to the palette.
#include "media/image/image_operations.h"

#include "media/image/row_bands.h"

#include <array>
#include <cstddef>

namespace vellum::media {

namespace {

using ToneTable = std::array<uint8_t, 256>;

ToneTable MakeTable(int32_t brightness, int32_t contrast)
{
    // Summed in 64 bits so that no script number can overflow them.
    const float k = static_cast<float>(int64_t{contrast} + 100) * 0.01f;
    const auto offset = static_cast<float>(int64_t{brightness} + 128);
    ToneTable table{};
    for (int32_t v = 0; v < 256; ++v) {
        const float level = static_cast<float>(v - 128) * k + offset + 0.5f;
        // Clamping before the truncation gives what truncating and then
        // clamping gives, without converting numbers an int cannot hold.
        table[static_cast<size_t>(v)] = level < 0 ? 0 : level > 255 ? 255 : static_cast<uint8_t>(level);
    }
    return table;
}

void ApplyTable(DibImage& image, const ToneTable& table)
{
    if (image.BitCount() != 24) {
        uint8_t* entry = image.Palette();
        for (uint32_t i = 0; i < image.ColorsUsed(); ++i, entry += 4) {
            for (int c = 0; c < 3; ++c) entry[c] = table[entry[c]];
        }
        return;
    }
    const size_t stride = image.Stride();
    ForRowBands(image.Height(), stride * static_cast<uint64_t>(image.Height()), [&](int32_t first, int32_t end) {
        uint8_t* byte = image.Row(first);
        uint8_t* const stop = image.Bits() + stride * static_cast<size_t>(end);
        for (; byte != stop; ++byte) *byte = table[*byte];
    });
}

} // namespace

bool BrightnessContrast(DibImage& source, DibImage* dest, int32_t brightness, int32_t contrast)
{
    if (source.Empty()) return false;
    const ToneTable table = MakeTable(brightness, contrast);
    if (dest == nullptr || dest == &source) {
        ApplyTable(source, table);
        return true;
    }
    DibImage result;
    if (!CopyImage(source, result)) return false;
    ApplyTable(result, table);
    Deliver(result, source, dest);
    return true;
}

} // namespace vellum::media
