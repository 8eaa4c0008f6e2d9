#include "gui/layout/linear_view.h"

#include "gui/layout/size_value.h"
#include "gui/style/style.h"
#include "vm/interpreter.h"

#include <algorithm>

namespace vellum::gui {

int32_t LinearView::ExtentOf(View& child, int32_t unit, int32_t& fixed, int32_t& stars)
{
    const SizeValue size =
        ReadSize(child, ip.GetProperty(child.table, vertical ? u"height" : u"width"), vertical);
    auto automatic = [&] { return vertical ? child.AutoHeightOf() : child.AutoWidthOf(); };
    switch (size.kind) {
    case SizeValue::Kind::Pixels:
        fixed += size.amount;
        return size.amount;
    case SizeValue::Kind::Auto: {
        const int32_t a = automatic();
        fixed += a;
        return a;
    }
    case SizeValue::Kind::Stars:
        stars += size.amount;
        return size.amount * unit;
    case SizeValue::Kind::Other:
        break;
    }
    // Unsized: the automatic size, or one star when the child has none.
    const int32_t a = automatic();
    if (a != 0) {
        fixed += a;
        return a;
    }
    stars += 1;
    return unit;
}

void LinearView::Layout(bool arrange)
{
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    const Rect content = GetContentRect();
    const std::vector<View*> children = ChildViews();
    int32_t fixed = 0;
    int32_t stars = 0;
    for (View* child : children) ExtentOf(*child, 0, fixed, stars);
    // The span is one less than the content's pixel count.
    const int32_t span = vertical ? content.bottom - content.top : content.right - content.left;
    starUnit = stars > 0 ? (span - fixed) / stars : 0;

    int32_t at = vertical ? content.top : content.left;
    for (View* child : children) {
        int32_t ignoredFixed = 0;
        int32_t ignoredStars = 0;
        const int32_t extent = ExtentOf(*child, starUnit, ignoredFixed, ignoredStars);
        const Rect r = vertical ? Rect{content.left, at, content.right, at + extent - 1}
                                : Rect{at, content.top, at + extent - 1, content.bottom};
        Place(*child, r, arrange);
        at += extent;
    }
}

int32_t LinearView::Thickness()
{
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    int32_t largest = 0;
    for (View* child : ChildViews()) {
        largest = std::max(largest, vertical ? child->AutoWidthOf() : child->AutoHeightOf());
    }
    const Margins m = StyleMargins(*this);
    return vertical ? largest + m.left + m.right : largest + m.top + m.bottom;
}

int32_t LinearView::MeasureHeight() { return vertical ? 0 : Thickness(); }
int32_t LinearView::MeasureWidth() { return vertical ? Thickness() : 0; }

} // namespace vellum::gui
