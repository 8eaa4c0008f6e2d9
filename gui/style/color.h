// Colours in styles: one of sixteen names, or an array {red, green, blue}.
#pragma once

#include "engine/core/value.h"
#include "platform/draw/geometry.h"

#include <optional>

namespace vellum::gui {

// The colour a style value names: a name matched exactly ("red", not
// "Red"), or a table whose elements 0, 1 and 2 give red, green and blue
// (truncated, low 8 bits; a missing element is 0). Nothing otherwise.
std::optional<platform::Color> ParseColor(const Value& value);

} // namespace vellum::gui
