// What a native control tells the code that made it, as the handheld's
// controls notify their parent window: the GUI side implements this for
// each control it creates through the control host. Any call may run script
// code, even destroy the control; the host copes with both.
#pragma once

#include <cstdint>

namespace vellum::platform {

class ControlHandler {
public:
    // A button was pressed and released over itself.
    virtual void Clicked() {}
    // An edit's text changed, by the user or by the program.
    virtual void TextChanged() {}
    // A combo box's current position changed.
    virtual void SelectionChanged() {}
    // A scroll bar was moved; code is the handheld's scroll code.
    virtual void Scrolled(int32_t /*code*/) {}
    // A tab control's current tab changed.
    virtual void TabChanged() {}
    // The control gained (true) or lost (false) the keyboard focus. The
    // form window's handler hears of the move as well (FocusMovedTo), which
    // keeps the form's record of its focused view.
    virtual void FocusChanged(bool /*gained*/) {}
    // A key went down in the control, as a virtual key; true keeps it from
    // the control itself.
    virtual bool KeyDown(int32_t /*virtualKey*/) { return false; }

protected:
    ~ControlHandler() = default;
};

} // namespace vellum::platform
