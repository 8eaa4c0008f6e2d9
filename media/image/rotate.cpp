// Quarter and half turns. The quarter turns read the source in tiles of
// 64 x 64 pixels, so that the rows a tile reads and the rows it writes both
// stay within a small window of memory; bands of source rows go to
// separate threads. Every pixel is a plain copy, so the order of the walk
// never changes the result.
#include "media/image/image_operations.h"

#include "media/image/row_bands.h"

#include <algorithm>
#include <cstring>

namespace vellum::media {

namespace {

constexpr int32_t kTile = 64;

// Buffer rows count from the bottom. A clockwise turn puts source pixel
// (x, r) at (r, width - 1 - x); a counter-clockwise one at
// (height - 1 - r, x).
void QuarterTurn(const DibImage& source, DibImage& result, bool clockwise)
{
    const int32_t width = source.Width();
    const int32_t height = source.Height();
    const uint64_t bytes = 2 * uint64_t{source.Stride()} * static_cast<uint64_t>(height);
    const int32_t tileRows = (height + kTile - 1) / kTile;
    ForRowBands(tileRows, bytes, [&](int32_t firstTile, int32_t endTile) {
        for (int32_t r0 = firstTile * kTile; r0 < std::min(endTile * kTile, height); r0 += kTile) {
            const int32_t r1 = std::min(r0 + kTile, height);
            for (int32_t x0 = 0; x0 < width; x0 += kTile) {
                const int32_t x1 = std::min(x0 + kTile, width);
                for (int32_t r = r0; r < r1; ++r) {
                    const uint8_t* from = source.Row(r) + 3 * static_cast<size_t>(x0);
                    const int32_t column = clockwise ? r : height - 1 - r;
                    uint8_t* to = result.Bits() + 3 * static_cast<size_t>(column);
                    for (int32_t x = x0; x < x1; ++x, from += 3) {
                        const int32_t row = clockwise ? width - 1 - x : x;
                        uint8_t* pixel = to + static_cast<size_t>(row) * result.Stride();
                        pixel[0] = from[0];
                        pixel[1] = from[1];
                        pixel[2] = from[2];
                    }
                }
            }
        }
    });
}

void HalfTurn(const DibImage& source, DibImage& result)
{
    const int32_t width = source.Width();
    const int32_t height = source.Height();
    const uint64_t bytes = 2 * uint64_t{source.Stride()} * static_cast<uint64_t>(height);
    ForRowBands(height, bytes, [&](int32_t firstRow, int32_t endRow) {
        for (int32_t r = firstRow; r < endRow; ++r) {
            const uint8_t* from = source.Row(r);
            uint8_t* to = result.Row(height - 1 - r) + 3 * static_cast<size_t>(width - 1);
            for (int32_t x = 0; x < width; ++x, from += 3, to -= 3) {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        }
    });
}

} // namespace

bool Rotate(DibImage& source, DibImage* dest, double angle)
{
    if (source.Empty() || source.BitCount() != 24) return false;
    if (angle != 90 && angle != 180 && angle != 270) return false;
    const bool quarter = angle != 180;
    const auto width = static_cast<uint32_t>(source.Width());
    const auto height = static_cast<uint32_t>(source.Height());
    DibImage result;
    if (!result.Create(quarter ? height : width, quarter ? width : height, source.BitCount(), source.Type())) {
        return false;
    }
    if (quarter) {
        QuarterTurn(source, result, angle == 90);
    } else {
        HalfTurn(source, result);
    }
    Deliver(result, source, dest);
    return true;
}

} // namespace vellum::media
