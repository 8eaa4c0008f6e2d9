// Lengths in styles and sizes: a number of device-independent units, or a
// pixel text such as "12px" meaning that many pixels as they stand.
#pragma once

#include "engine/core/value.h"

#include <cstdint>
#include <optional>

namespace vellum::gui {

class View;

// Lengths are held to this many pixels either way, far beyond any screen,
// so that sums and differences of lengths and rectangle edges stay in range.
constexpr int32_t kLargestLength = 1 << 20;

// Rectangle edges are held to this many pixels either way: far beyond any
// screen, and near enough that a width, a height, the pixel past an edge or
// a sum of a few of them never leaves 32 bits, whatever a script gives.
constexpr int32_t kLargestCoordinate = 1 << 28;

// Pixel arithmetic done in 64 bits, brought back into the coordinate range
// by saturation: every edge a view gets passes through here.
constexpr int32_t ClampPixels(int64_t v)
{
    return v < -kLargestCoordinate ? -kLargestCoordinate
         : v > kLargestCoordinate  ? kLargestCoordinate
                                   : static_cast<int32_t>(v);
}

// The N of a pixel text: 3 to 19 characters ending in "px" whose part
// before "px" is a decimal integer (leading blanks and a sign allowed).
// Nothing for another value, and for a text whose integer is 0.
std::optional<int32_t> PixelText(const Value& value);

// A length in pixels: a number converted with the view's horizontal or
// vertical dpi (truncated), or a pixel text; nothing for another value.
std::optional<int32_t> LengthInPixels(View& view, const Value& value, bool vertical);

} // namespace vellum::gui
