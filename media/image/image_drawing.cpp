// The scaling keeps the handheld's arithmetic: single-precision steps from
// the destination back into the source, rows counted from the bottom of the
// buffer, so a picture drawn at any size lands on the same pixels as there.
// Only the clipped part of the destination is computed, which keeps a
// strongly zoomed picture as cheap as the window it shows in.
#include "media/image/image_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace vellum::media {

namespace {

// A source column or row from its single-precision position: negative
// positions are taken as 0, and rounding never steps past the last one.
int32_t SourceIndex(float position, int32_t count)
{
    if (!(position > 0)) return 0;
    if (position >= static_cast<float>(count - 1)) return count - 1;
    return static_cast<int32_t>(position);
}

} // namespace

void DrawImage(platform::Canvas& canvas, const DibImage& image, int32_t x, int32_t y, int32_t cx, int32_t cy,
               const platform::Rect& clip)
{
    if (image.Empty() || !image.Enabled() || image.BitCount() != 24 || cx == 0 || cy == 0) return;
    const int32_t width = image.Width();
    const int32_t height = image.Height();
    if (cx < 0) cx = width;
    if (cy < 0) cy = height;

    const int64_t left = std::max<int64_t>(x, clip.left);
    const int64_t top = std::max<int64_t>(y, clip.top);
    const int64_t right = std::min<int64_t>(int64_t{x} + cx - 1, clip.right);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + cy - 1, clip.bottom);
    if (right < left || bottom < top) return;
    const platform::Rect visible{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                                 static_cast<int32_t>(bottom)};

    if (cx == width && cy == height) {
        canvas.PushClip(visible);
        canvas.DrawPixels(image.Bits(), width, height, image.Stride(), {x, y});
        canvas.PopClip();
        return;
    }

    const float fx = static_cast<float>(width) / static_cast<float>(cx);
    const float fy = static_cast<float>(height) / static_cast<float>(cy);
    const int32_t partWidth = visible.Width();
    const int32_t partHeight = visible.Height();
    const size_t partStride = (static_cast<size_t>(partWidth) * 24 + 31) / 32 * 4;

    std::vector<int32_t> columns(static_cast<size_t>(partWidth));
    for (int32_t i = 0; i < partWidth; ++i) {
        const auto u = static_cast<float>(left - x + i);
        columns[static_cast<size_t>(i)] = SourceIndex(std::floor(u * fx), width);
    }
    std::vector<uint8_t> part(partStride * static_cast<size_t>(partHeight));
    for (int32_t i = 0; i < partHeight; ++i) {
        // Destination row s (from the top) takes buffer row H - (s + 1) * fy;
        // the part's own rows go bottom-up too.
        const auto below = static_cast<float>(top - y + i + 1);
        const uint8_t* source = image.Row(SourceIndex(std::floor(static_cast<float>(height) - below * fy), height));
        uint8_t* target = part.data() + static_cast<size_t>(partHeight - 1 - i) * partStride;
        for (int32_t column : columns) {
            std::memcpy(target, source + static_cast<size_t>(column) * 3, 3);
            target += 3;
        }
    }
    canvas.DrawPixels(part.data(), partWidth, partHeight, static_cast<uint32_t>(partStride), {visible.left, visible.top});
}

} // namespace vellum::media
