#include "gui/layout/canvas_view.h"

#include "gui/layout/size_value.h"
#include "gui/style/length.h"
#include "gui/style/style.h"
#include "gui/style/view_property.h"

namespace vellum::gui {

namespace {

// One axis of a child: its offset in the canvas and its extent.
struct Span {
    int32_t offset;
    int32_t extent;
};

Span PlaceOnAxis(View& child, bool vertical, int32_t available)
{
    // A canvas knows no stars: anything but a length or "auto" fills it.
    const SizeValue size = ReadSize(child, ViewProperty(child, vertical ? u"height" : u"width"), vertical);
    int32_t extent = available;
    if (size.kind == SizeValue::Kind::Auto) extent = AutoSize(child, vertical);
    if (size.kind == SizeValue::Kind::Pixels) extent = size.amount;
    if (const auto offset = LengthInPixels(child, ViewProperty(child, vertical ? u"top" : u"left"), vertical)) {
        return {*offset, extent};
    }
    int32_t offset = 0;
    if (extent < available) {
        const Style style(child);
        const int32_t position = vertical ? static_cast<int32_t>(StyleVAlign(style))
                                          : static_cast<int32_t>(StyleAlign(style));
        // 1 is the centre, 2 the right or bottom edge, on both axes.
        if (position == 1) offset = (available - extent) / 2;
        if (position == 2) offset = available - extent;
    }
    return {offset, extent};
}

} // namespace

void CanvasView::Layout(bool arrange)
{
    if (arrange && ip.ErrorPending()) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const Rect content = GetContentRect();
    const int32_t width = ClampPixels(int64_t{content.right} - content.left + 1);
    const int32_t height = ClampPixels(int64_t{content.bottom} - content.top + 1);
    VisitChildViews([&](View& child) {
        const Span x = PlaceOnAxis(child, false, width);
        const Span y = PlaceOnAxis(child, true, height);
        const int64_t left = int64_t{content.left} + x.offset;
        const int64_t top = int64_t{content.top} + y.offset;
        const Rect r{ClampPixels(left), ClampPixels(top), ClampPixels(left + x.extent - 1),
                     ClampPixels(top + y.extent - 1)};
        // A refresh passes only to the children that are shown.
        if (arrange || child.Visible()) {
            Place(child, r, arrange);
        } else {
            child.SetRect(r);
        }
        return true;
    });
}

} // namespace vellum::gui
