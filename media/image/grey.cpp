// Black and white: every pixel becomes its luma, the BT.601 weights in
// 1024ths, written into all three channels. No threshold, no dithering.
#include "media/image/image_operations.h"

#include "media/image/row_bands.h"

namespace vellum::media {

namespace {

void Grey(DibImage& image)
{
    const int32_t width = image.Width();
    ForRowBands(image.Height(), uint64_t{image.Stride()} * static_cast<uint64_t>(image.Height()),
                [&](int32_t first, int32_t end) {
                    for (int32_t r = first; r < end; ++r) {
                        uint8_t* pixel = image.Row(r);
                        for (int32_t x = 0; x < width; ++x, pixel += 3) {
                            const uint32_t grey = (306u * pixel[2] + 601u * pixel[1] + 117u * pixel[0]) >> 10;
                            pixel[0] = pixel[1] = pixel[2] = static_cast<uint8_t>(grey);
                        }
                    }
                });
}

} // namespace

bool BlackAndWhite(DibImage& source, DibImage* dest)
{
    if (source.Empty() || source.BitCount() != 24) return false;
    if (dest == nullptr || dest == &source) {
        Grey(source);
        return true;
    }
    DibImage result;
    if (!CopyImage(source, result)) return false;
    Grey(result);
    Deliver(result, source, dest);
    return true;
}

} // namespace vellum::media
