// The base of the views that show one inner view made from their "view"
// field: the item view that lists and sheets fill and paint once for every
// visible item, and the child that a scroll view shifts. The inner view is
// made once, when the view is attached, and lives as long as this view.
// The positions and sizes these views work with are fields of the script
// table, read afresh whenever they are needed.
#pragma once

#include "engine/vm/interpreter.h"
#include "gui/view/view.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace vellum::gui {

class ItemHostView : public View {
public:
    using View::View;

    void Mark(Collector& collector) override;
    void Release() override;
    void LeaveWindow() override;
    // The inner view's timer, then this view's own.
    void Stop() override;
    // Also makes the inner view from "view", when that is a table.
    void Attach(View* parent, Form* form, TableObject* table) override;
    void Arrange(platform::NativeWindow* hostWindow) override;

    // A number field, truncated; 0 when it is not a number.
    int32_t IntField(std::u16string_view name);
    void SetIntField(std::u16string_view name, int32_t n);

protected:
    // A length a script method gives for index: a number of DIP (converted
    // with the vertical or the horizontal dpi) or a pixel text; 0 for any
    // other answer. The method must exist: without it the engine's
    // call-to-non-function error is left pending.
    int32_t LengthFromMethod(std::u16string_view method, int32_t index, bool vertical);
    // Gives the inner view the rectangle and lets it lay itself out again.
    void PlaceInner(const Rect& r);
    // How every scroll by the wheel or a drag ends: stores the new
    // positions (field, value), evaluates "OnTopPosChange" and repaints.
    void ScrolledTo(std::initializer_list<std::pair<std::u16string_view, int32_t>> positions);
    // Refresh on one axis: the top field is put back to 0 unless the count
    // field is larger than the page() that fits from 0.
    template <class Page>
    void ResetTopWhenAllFit(std::u16string_view top, std::u16string_view count, Page&& page)
    {
        const int32_t remembered = IntField(top);
        SetIntField(top, 0);
        if (IntField(count) > page()) SetIntField(top, remembered);
    }
    // Paints `paint` with the clip narrowed to the content rectangle, over
    // the decoration, when this view is visible and meets the clip.
    template <class PaintInside>
    void PaintClipped(Canvas& canvas, const Rect& clip, PaintInside&& paint);

    View* inner = nullptr;
};

template <class PaintInside>
void ItemHostView::PaintClipped(Canvas& canvas, const Rect& clip, PaintInside&& paint)
{
    if (!visible || !rect.Intersects(clip)) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const Rect content = GetContentRect();
    canvas.PushClip(content);
    DrawDecoration(canvas);
    if (inner != nullptr) paint(content);
    canvas.PopClip();
}

// The part of a that lies in b; empty when they do not meet.
Rect Intersection(const Rect& a, const Rect& b);

} // namespace vellum::gui
