#include "gui/style/ellipse_view.h"

#include "gui/style/style.h"

namespace vellum::gui {

void EllipseView::Draw(Canvas& canvas, const Rect&)
{
    const Style style(*this);
    const Rect content = GetContentRect();
    if (content.Empty()) return;
    canvas.Ellipse(content.left, content.top, content.right, content.bottom, StyleStroke(style).pen,
                   StyleFill(style));
}

} // namespace vellum::gui
