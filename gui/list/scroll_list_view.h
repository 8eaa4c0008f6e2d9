// TScrollList: a list with a current item ("curPos") that taps and the
// navigation keys move, keeping it on the page. The list scrolls with the
// mouse wheel and with a touch drag as well, and tells the script through
// "OnTopPosChange" (so a scroll bar can follow) and "OnCurPosChange".
#pragma once

#include "gui/form/wheel_target.h"
#include "gui/list/drag_tracker.h"
#include "gui/list/list_view.h"

namespace vellum::gui {

class ScrollListView : public ListView, public WheelTarget {
public:
    using ListView::ListView;

    // Moves "topPos" just far enough for "curPos" to show and evaluates
    // "OnTopPosChange"; false when the top stays where it was.
    bool ScrollCurPosToView();

    void OnMouseDown(int32_t x, int32_t y) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    // A tap makes the item under the pointer the current one.
    void OnMouseUp(int32_t x, int32_t y) override;
    // Moves the current item by the navigation keys; every key then goes
    // on to the list's "OnKeyDown" (or its parent's).
    bool OnKeyDown(int32_t key) override;
    bool TakesKeys() override { return true; }
    bool OnWheel(int32_t across, int32_t down) override;

private:
    // The item a navigation key makes current; cp when the key moves nothing.
    int32_t KeyTarget(int32_t key, int32_t cp);
    // "curPos" changed from old: repaints what changed and evaluates "OnCurPosChange".
    void CurrentChanged(int32_t old, bool topChanged);

    DragTracker drag;
};

} // namespace vellum::gui
