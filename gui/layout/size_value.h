// The sizes children ask for: "width" and "height" in rows and columns, the
// entries of a grid's "cols" and "rows".
#pragma once

#include "core/value.h"

#include <cstdint>

namespace vellum::gui {

class View;

struct SizeValue {
    enum class Kind {
        Pixels, // a number of DIP (converted) or a pixel text
        Stars,  // "*" or "n*": a share of the free space
        Auto,   // "auto": the child's automatic size
        Other,  // anything else; each container says what it means
    };
    Kind kind = Kind::Other;
    int32_t amount = 0; // pixels, or the number of stars
};

// Reads a size value; numbers convert with the view's vertical or horizontal dpi.
SizeValue ReadSize(View& view, const Value& value, bool vertical);

} // namespace vellum::gui
