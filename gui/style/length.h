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

// Pixel arithmetic done in 64 bits, brought back to 32 bits by saturation.
constexpr int32_t ClampPixels(int64_t v)
{
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v);
}

// The N of a pixel text: 3 to 19 characters ending in "px" whose part
// before "px" is a decimal integer (leading blanks and a sign allowed).
// Nothing for another value, and for a text whose integer is 0.
std::optional<int32_t> PixelText(const Value& value);

// A length in pixels: a number converted with the view's horizontal or
// vertical dpi (truncated), or a pixel text; nothing for another value.
std::optional<int32_t> LengthInPixels(View& view, const Value& value, bool vertical);

} // namespace vellum::gui
