// The view properties the shapes read (not style properties): evaluated
// through the view's handler path, so that a property may be computed.
#pragma once

#include "engine/core/value.h"

#include <string>
#include <string_view>

namespace vellum::gui {

class View;

// The property's value; null for a view without a table.
Value ViewProperty(View& view, std::u16string_view name);
// The property as text (ToString, unquoted); null gives the empty text.
std::u16string ViewText(View& view, std::u16string_view name);

} // namespace vellum::gui
