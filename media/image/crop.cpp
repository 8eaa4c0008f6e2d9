// Cropping: the script names two corners in picture coordinates (y from the
// top); the kept rows are found counting from the bottom, as they are stored.
#include "media/image/image_operations.h"

#include <algorithm>
#include <cstring>

namespace vellum::media {

bool Crop(DibImage& source, DibImage* dest, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (source.Empty() || source.BitCount() != 24) return false;
    const int32_t width = source.Width();
    const int32_t height = source.Height();
    left = std::clamp(left, 0, width);
    right = std::clamp(right, 0, width);
    top = std::clamp(top, 0, height);
    bottom = std::clamp(bottom, 0, height);
    if (left == right || top == bottom) return false;

    const int32_t firstColumn = std::min(left, right);
    const int32_t keptWidth = std::max(left, right) - firstColumn;
    const int32_t firstRow = height - std::max(top, bottom);
    const int32_t keptHeight = std::max(top, bottom) - std::min(top, bottom);

    DibImage result;
    if (!result.Create(static_cast<uint32_t>(keptWidth), static_cast<uint32_t>(keptHeight), source.BitCount(),
                       source.Type())) {
        return false;
    }
    for (int32_t r = 0; r < keptHeight; ++r) {
        std::memcpy(result.Row(r), source.Row(firstRow + r) + 3 * static_cast<size_t>(firstColumn),
                    3 * static_cast<size_t>(keptWidth));
    }
    Deliver(result, source, dest);
    return true;
}

} // namespace vellum::media
