// The pending error: raising it (only the first one counts), placing it in
// its source text, formatting and reporting it.
#include "engine/vm/interpreter.h"

#include "engine/core/terminal_text.h"
#include "engine/core/unicode.h"
#include "engine/vm/error_reporter.h"

namespace vellum {

namespace {

constexpr size_t kMaxErrorArg = 511;
constexpr size_t kMaxErrorMessage = 1535;

} // namespace

// --- errors ------------------------------------------------------------------------

void Interpreter::RaiseError(ErrorId id, std::u16string_view arg1, std::u16string_view arg2)
{
    if (errorId != errOK) return;
    errorId = id;
    errorSeenByDebugger = false;
    errorArg1.assign(arg1.substr(0, kMaxErrorArg));
    errorArg2.assign(arg2.substr(0, kMaxErrorArg));
}

void Interpreter::RaiseErrorAt(ErrorId id, SourcePlace place, std::u16string_view arg1, std::u16string_view arg2)
{
    if (errorId != errOK) return;
    RaiseError(id, arg1, arg2);
    errorPlace = place;
}

std::optional<TextLocation> Interpreter::ErrorLocation() const
{
    if (!errorPlace.Known() || errorPlace.text >= sourceTexts.size()) return std::nullopt;
    const std::u16string_view text = sourceTexts[errorPlace.text];
    if (static_cast<size_t>(errorPlace.position) > text.size()) return std::nullopt;
    return LocateInText(text, errorPlace.position);
}

std::u16string_view Interpreter::SourceFile(uint32_t textId) const
{
    return textId < sourceFiles.size() ? std::u16string_view(sourceFiles[textId]) : std::u16string_view();
}

void Interpreter::ClearError()
{
    errorId = errOK;
    errorArg1.clear();
    errorArg2.clear();
    errorPlace = {};
}

void Interpreter::RestoreError(const ErrorState& state)
{
    errorId = state.id;
    errorArg1 = state.arg1;
    errorArg2 = state.arg2;
    errorPlace = state.place;
}

std::u16string Interpreter::FormatError()
{
    return FormatTemplate(errorTable.LookupMessage(errorId), errorArg1, errorArg2, kMaxErrorMessage);
}

void Interpreter::ReportError()
{
    if (!ErrorPending()) return;
    const std::u16string message = FormatError();
    const std::optional<TextLocation> at = ErrorLocation();
    // Cleared first: showing the error may run a message loop and scripts.
    ClearError();
    if (reporter != nullptr) {
        reporter->ShowError(message, at);
    } else {
        WriteText(stderr, "Vellum Error: " + ToUtf8(message) + '\n');
    }
}

} // namespace vellum
