// Where a reported error goes: a message box in the GUI, the terminal in
// console mode. The engine alone writes to standard error.
#pragma once

#include <cstdint>
#include <string_view>

namespace vellum {

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // message is the formatted text; position is the source offset of the
    // failing token or instruction, or -1 when unknown.
    virtual void ShowError(std::u16string_view message, int32_t position) = 0;
};

} // namespace vellum
