// A touch drag over a scrolling view. A press on the view starts watching
// the pointer; once it has moved past a small threshold the content follows
// it, and the release that ends such a drag is not a tap.
#pragma once

#include "gui/view/view.h"
#include "platform/draw/geometry.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace vellum::gui {

// How far (DIP) a pressed pointer moves before it drags rather than taps.
inline constexpr int32_t kDragThresholdDip = 8;

class DragTracker {
public:
    void Press(int32_t x, int32_t y)
    {
        anchor = {x, y};
        pressed = true;
        dragging = false;
    }
    // How far the pointer has travelled from the anchor, once the drag over
    // the view has begun (zero before, and without a press).
    platform::Point Travel(const View& view, int32_t x, int32_t y)
    {
        if (!pressed) return {};
        const int32_t thresholdX = view.DipToPxX(kDragThresholdDip);
        const int32_t thresholdY = view.DipToPxY(kDragThresholdDip);
        const platform::Point travel{x - anchor.x, y - anchor.y};
        if (!dragging) dragging = std::abs(travel.x) >= thresholdX || std::abs(travel.y) >= thresholdY;
        return dragging ? travel : platform::Point{};
    }
    // The content has moved this far with the pointer; the anchor follows.
    void TakeUp(int32_t dx, int32_t dy)
    {
        anchor.x += dx;
        anchor.y += dy;
    }
    // Ends the gesture; true when it was a drag.
    bool Release()
    {
        pressed = false;
        return std::exchange(dragging, false);
    }

private:
    platform::Point anchor;
    bool pressed = false;
    bool dragging = false;
};

} // namespace vellum::gui
