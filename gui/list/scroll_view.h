// TScrollView: one child view ("view") that may be larger than the scroll
// view. On an axis where the content is smaller than the child's minimum
// size ("minWidth", "minHeight", DIP), the child gets that size and is
// shifted by the offset ("leftPos", "topPos", DIP); on an axis where it fits
// the child fills the content. The script scrolls by changing the offsets
// and redrawing; the mouse wheel, a touch drag and the navigation keys
// change them as well and evaluate "OnTopPosChange".
#pragma once

#include "gui/form/wheel_target.h"
#include "gui/list/drag_tracker.h"
#include "gui/list/item_host_view.h"

namespace vellum::gui {

class ScrollView : public ItemHostView, public WheelTarget {
public:
    using ItemHostView::ItemHostView;

    void Arrange(platform::NativeWindow* hostWindow) override;
    void Paint(Canvas& canvas, const Rect& clip) override;
    // The child's view at the point, else the scroll view itself; none
    // outside the scroll view, where a shifted child may stick out.
    View* HitTest(int32_t x, int32_t y) override;
    View* FindById(std::u16string_view id) override;
    View* FindByWindow(const platform::NativeWindow* w) override;
    void Refresh() override;
    // "minHeight" in pixels.
    int32_t MeasureHeight() override;
    void OnCreate() override;
    bool OnClose() override;
    void Show() override;
    void Hide() override;

    void OnMouseDown(int32_t x, int32_t y) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    void OnMouseUp(int32_t x, int32_t y) override;
    bool OnWheel(int32_t across, int32_t down) override;
    // The navigation keys scroll as the wheel does (Page Up and Page Down
    // by a page less a line, Home and End to the ends); every key then goes
    // on to the scroll view's "OnKeyDown" (or its parent's), as in a list.
    bool OnKeyDown(int32_t key) override;
    bool TakesKeys() override { return true; }

private:
    // The child's rectangle for the offsets and minimum sizes now.
    Rect ChildRect();
    // A DIP field as pixels on one axis; negative counts as 0.
    int32_t PixelField(std::u16string_view name, bool vertical);
    // Moves the offsets by that many DIP, held to the part of the child that
    // lies outside; stores them, evaluates "OnTopPosChange" and repaints.
    // False when neither moved.
    bool ScrollBy(int32_t leftDip, int32_t topDip);

    DragTracker drag;
};

} // namespace vellum::gui
