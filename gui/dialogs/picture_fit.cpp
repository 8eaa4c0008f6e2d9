#include "gui/dialogs/picture_fit.h"

#include <cstdlib>
#include <limits>

namespace vellum::gui {

int32_t MulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0) return -1;
    const int64_t product = int64_t{a} * b;
    const int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int32_t>::max() || result < std::numeric_limits<int32_t>::min()) return -1;
    return static_cast<int32_t>(result);
}

platform::Size FitKeepingAspect(platform::Size picture, platform::Size box)
{
    const int32_t width = MulDiv(picture.width, box.height, picture.height);
    if (width >= 0 && width <= box.width) return {width, box.height};
    return {box.width, MulDiv(picture.height, box.width, picture.width)};
}

} // namespace vellum::gui
