#include "gui/layout/linear_view.h"

#include "gui/layout/size_value.h"
#include "gui/style/length.h"
#include "gui/style/style.h"
#include "gui/style/view_property.h"

#include <algorithm>

namespace vellum::gui {

int32_t LinearView::ExtentOf(View& child, int32_t unit, int64_t& fixed, int64_t& stars)
{
    const SizeValue size =
        ReadSize(child, ViewProperty(child, vertical ? u"height" : u"width"), vertical);
    int32_t extent = 0;
    switch (size.kind) {
    case SizeValue::Kind::Pixels:
        extent = size.amount;
        break;
    case SizeValue::Kind::Auto:
        extent = AutoSize(child, vertical);
        break;
    case SizeValue::Kind::Stars:
        stars += size.amount;
        return ClampPixels(int64_t{size.amount} * unit);
    case SizeValue::Kind::Other:
        // Unsized: the automatic size, or one star when the child has none.
        extent = AutoSize(child, vertical);
        if (extent == 0) {
            stars += 1;
            return unit;
        }
        break;
    }
    fixed += extent;
    return extent;
}

void LinearView::Layout(bool arrange)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const Rect content = GetContentRect();
    int64_t fixed = 0;
    int64_t stars = 0;
    VisitChildViews([&](View& child) {
        ExtentOf(child, 0, fixed, stars);
        return true;
    });
    // The span is one less than the content's pixel count. When the fixed
    // sizes take it all, the stars get nothing rather than a negative size.
    const int64_t span = vertical ? int64_t{content.bottom} - content.top : int64_t{content.right} - content.left;
    starUnit = stars > 0 ? ClampPixels(std::max<int64_t>(0, (span - fixed) / stars)) : 0;

    int64_t at = vertical ? content.top : content.left;
    VisitChildViews([&](View& child) {
        int64_t ignoredFixed = 0;
        int64_t ignoredStars = 0;
        const int32_t extent = ExtentOf(child, starUnit, ignoredFixed, ignoredStars);
        const int32_t first = ClampPixels(at);
        const int32_t last = ClampPixels(at + extent - 1);
        const Rect r = vertical ? Rect{content.left, first, content.right, last}
                                : Rect{first, content.top, last, content.bottom};
        Place(child, r, arrange);
        at += extent;
        return true;
    });
}

int32_t LinearView::Thickness()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    int32_t largest = 0;
    const Descent descent(*this);
    if (descent.allowed) {
        VisitChildViews([&](View& child) {
            largest = std::max(largest, vertical ? child.AutoWidthOf() : child.AutoHeightOf());
            return true;
        });
    }
    const Margins m = StyleMargins(*this);
    return ClampPixels(vertical ? int64_t{largest} + m.left + m.right : int64_t{largest} + m.top + m.bottom);
}

int32_t LinearView::MeasureHeight() { return vertical ? 0 : Thickness(); }
int32_t LinearView::MeasureWidth() { return vertical ? Thickness() : 0; }

} // namespace vellum::gui
