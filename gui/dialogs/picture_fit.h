// Fitting a picture into a box keeping its proportions, as contact
// pictures are fitted: the full box height when the width that gives
// fits the box, else the full box width.
#pragma once

#include "platform/draw/geometry.h"

#include <cstdint>

namespace vellum::gui {

// a * b / c rounded to the nearest integer, halves away from zero; -1
// when c is 0 or the result does not fit 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// The picture's size scaled into the box: (w * boxH / h, boxH) when that
// width lies in 0 .. boxW, else (boxW, h * boxW / w), each rounded by MulDiv.
platform::Size FitKeepingAspect(platform::Size picture, platform::Size box);

} // namespace vellum::gui
