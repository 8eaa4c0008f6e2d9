// What a view that scrolls does with the mouse wheel. The form offers the
// wheel to the view under the pointer and then to the views it lies in,
// until one of them moves; so a list inside a scroll view scrolls first,
// and the scroll view takes over once the list is at its end.
#pragma once

#include <cstdint>

namespace vellum::gui {

class WheelTarget {
public:
    // Scrolls by wheel lines: down > 0 towards the end, across > 0 to the
    // right. False when the view could not move that way.
    virtual bool OnWheel(int32_t across, int32_t down) = 0;

protected:
    ~WheelTarget() = default;
};

} // namespace vellum::gui
