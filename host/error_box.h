// The error box: a reported error as the user sees it, the message with
// " (line L, column C)" when the place is known. On the desktop it is a
// modal message box captioned "Vellum Error" with the error icon; in
// console mode one line on standard error after "Vellum Error: ".
#pragma once

#include "engine/vm/error_reporter.h"

namespace vellum {

class ErrorBox final : public ErrorReporter {
public:
    void ShowError(std::u16string_view message, std::optional<TextLocation> at) override;
    // Whether an error has been shown through this box.
    bool Shown() const { return shown; }

private:
    bool shown = false;
};

} // namespace vellum
