// Who a refresh runs for. The handheld's rule that every refresh writes the
// "text" property back into an edit or combo box holds for the refreshes a
// script asks for (Redraw, a layout inside a script call), which scripts use
// to reset a field. A desktop has events the handheld never had: a relayout
// they cause (the window resized, moved, maximised, restored or activated, a
// change of screen or scale factor, the input panel) keeps what the user
// typed, with its selection and caret. Script code that runs inside such a
// relayout (a handler) asks for its own refreshes again.
#pragma once

namespace vellum::gui {

enum class RefreshFor { Script, Desktop };

// Sets the cause of the refreshes that run while it lives; the interface
// thread runs them all, so one cause is in force at a time.
class RefreshCause {
public:
    explicit RefreshCause(RefreshFor cause);
    ~RefreshCause();
    RefreshCause(const RefreshCause&) = delete;
    RefreshCause& operator=(const RefreshCause&) = delete;

    // Script, unless a desktop relayout runs.
    static RefreshFor Current();
    // Whether an edit or combo box refreshed now keeps what the user typed.
    static bool KeepsTypedText() { return Current() == RefreshFor::Desktop; }

private:
    const RefreshFor saved;
};

} // namespace vellum::gui
