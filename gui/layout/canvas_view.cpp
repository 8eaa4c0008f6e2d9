#include "gui/layout/canvas_view.h"

#include "core/string_object.h"
#include "gui/style/length.h"
#include "gui/style/style.h"
#include "vm/interpreter.h"

namespace vellum::gui {

namespace {

// One axis of a child: its extent and its offset in the canvas.
struct Span {
    int32_t offset;
    int32_t extent;
};

Span PlaceOnAxis(Interpreter& ip, View& child, bool vertical, int32_t available)
{
    TableObject* t = child.table;
    const Value size = ip.GetProperty(t, vertical ? u"height" : u"width");
    int32_t extent = available;
    if (size.IsStr() && size.str->View() == u"auto") {
        extent = vertical ? child.AutoHeightOf() : child.AutoWidthOf();
    } else if (const auto pixels = LengthInPixels(child, size, vertical)) {
        extent = *pixels;
    }
    if (const auto offset = LengthInPixels(child, ip.GetProperty(t, vertical ? u"top" : u"left"), vertical)) {
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
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    const Rect content = GetContentRect();
    for (View* child : ChildViews()) {
        const Span x = PlaceOnAxis(ip, *child, false, content.Width());
        const Span y = PlaceOnAxis(ip, *child, true, content.Height());
        const Rect r{content.left + x.offset, content.top + y.offset, content.left + x.offset + x.extent - 1,
                     content.top + y.offset + y.extent - 1};
        // A refresh passes only to the children that are shown.
        if (arrange || child->visible) {
            Place(*child, r, arrange);
        } else {
            child->SetRect(r);
        }
    }
}

} // namespace vellum::gui
