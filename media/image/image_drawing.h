// Drawing a DibImage on a canvas at a given size: an unscaled copy of its
// rows when the size is the image's own, else nearest-neighbour scaling of
// only the part that can show.
#pragma once

#include "media/image/dib_image.h"
#include "platform/draw/canvas.h"
#include "platform/draw/geometry.h"

#include <cstdint>

namespace vellum::media {

// Draws the image with its top-left corner at (x, y), cx x cy pixels large;
// a negative cx or cy stands for the image's own width or height. Nothing
// is drawn for an empty or disabled image, a zero size, or a 1-, 4- or
// 8-bit image. Pixels outside clip are neither computed nor drawn.
void DrawImage(platform::Canvas& canvas, const DibImage& image, int32_t x, int32_t y, int32_t cx, int32_t cy,
               const platform::Rect& clip);

} // namespace vellum::media
