// Where a reported error goes: a message box in the GUI, the terminal in
// console mode. The engine alone writes to standard error.
#pragma once

#include "engine/core/source_place.h"

#include <optional>
#include <string_view>

namespace vellum {

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // message is the formatted text; at is the line and column of the
    // failing token or instruction in the text it came from, when known.
    virtual void ShowError(std::u16string_view message, std::optional<TextLocation> at) = 0;
};

} // namespace vellum
