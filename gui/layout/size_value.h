// The sizes children ask for: "width" and "height" in rows, columns and
// canvases, the entries of a grid's "cols" and "rows".
#pragma once

#include "engine/core/value.h"

#include <cstdint>

namespace vellum::gui {

class View;

struct SizeValue {
    enum class Kind {
        Pixels, // a number of DIP (converted) or a pixel text
        Stars,  // "*" or "n*" with a digit 1-9: a share of the free space
        Auto,   // "auto": the child's automatic size
        Other,  // anything else; each container says what it means
    };
    Kind kind = Kind::Other;
    int32_t amount = 0; // pixels (never negative), or the number of stars
};

// Reads a size value; numbers convert with the view's vertical or
// horizontal dpi. A negative size counts as 0 pixels.
SizeValue ReadSize(View& view, const Value& value, bool vertical);

// The child's automatic height or width, held to 0 .. kLargestLength.
int32_t AutoSize(View& child, bool vertical);

} // namespace vellum::gui
