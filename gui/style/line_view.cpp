#include "gui/style/line_view.h"

#include "engine/vm/interpreter.h"
#include "gui/style/length.h"
#include "gui/style/style.h"
#include "gui/style/view_property.h"

namespace vellum::gui {

namespace {

int64_t Coordinate(View& view, std::u16string_view name, int32_t otherwise)
{
    int32_t n;
    return Interpreter::ValueToInt(ViewProperty(view, name), n) ? n : otherwise;
}

// The larger end (the second when they are equal) is pulled in by the two
// margins of its axis.
void Shorten(int64_t& first, int64_t& second, int64_t margins)
{
    if (first > second) first -= margins;
    else second -= margins;
}

} // namespace

void LineView::Draw(Canvas& canvas, const Rect&)
{
    const Style style(*this);
    const Rect content = GetContentRect();
    const Margins margins = StyleMargins(style);
    int64_t x1 = Coordinate(*this, u"x1", 0);
    int64_t y1 = Coordinate(*this, u"y1", 0);
    int64_t x2 = Coordinate(*this, u"x2", content.Width());
    int64_t y2 = Coordinate(*this, u"y2", 0);
    Shorten(x1, x2, int64_t{margins.left} + margins.right);
    Shorten(y1, y2, int64_t{margins.top} + margins.bottom);
    canvas.Line({ClampPixels(content.left + x1), ClampPixels(content.top + y1)},
                {ClampPixels(content.left + x2), ClampPixels(content.top + y2)}, StyleStroke(style).pen);
}

} // namespace vellum::gui
