// What the views of native controls do with the notifications their
// control sends the form, beyond a click (OnClick) and a text change
// ("OnChange"), which every view handles alike. The form finds the view by
// the control's window and hands the notification on when the view is one
// of these.
#pragma once

#include <cstdint>

namespace vellum::gui {

class ControlEventTarget {
public:
    // A combo box's current position changed.
    virtual void OnSelectionChange() {}
    // A scroll bar was moved; code is the scroll code.
    virtual void OnScroll(int32_t /*code*/) {}
    // A tab control's selection changed: the view switches to it.
    virtual void OnTabChange() {}

protected:
    ~ControlEventTarget() = default;
};

} // namespace vellum::gui
