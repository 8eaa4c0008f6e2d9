// TScrollSheet: a sheet with a current cell ("curPosX", "curPosY") that a
// press and the navigation keys move, keeping it on the page. The sheet
// scrolls with the mouse wheel and with a touch drag as well, and tells the
// script through "OnTopPosChange" and "OnCurPosChange".
#pragma once

#include "gui/form/wheel_target.h"
#include "gui/list/drag_tracker.h"
#include "gui/list/sheet_view.h"

namespace vellum::gui {

class ScrollSheetView : public SheetView, public WheelTarget {
public:
    using SheetView::SheetView;

    // A press makes the cell under the pointer the current one.
    void OnMouseDown(int32_t x, int32_t y) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    void OnMouseUp(int32_t x, int32_t y) override;
    // The eight navigation keys move the current cell and stop there;
    // other keys go to the sheet's "OnKeyDown" (or its parent's).
    bool OnKeyDown(int32_t key) override;
    bool TakesKeys() override { return true; }
    bool OnWheel(int32_t across, int32_t down) override;

private:
    // Moves the first column and row just far enough for the current cell
    // to show; when either moved, stores both and evaluates "OnTopPosChange".
    void ScrollCurPosToView();
    // Stores new first columns and rows (held to the cells there are),
    // evaluates "OnTopPosChange" and repaints; false when neither moved.
    bool ScrollTopTo(int32_t topX, int32_t topY);

    DragTracker drag;
};

} // namespace vellum::gui
