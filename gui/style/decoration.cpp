// The decoration any view may carry: a fill or a gradient over its content
// rectangle and a border around it. Groups draw it under their children,
// texts under their text, and it is the whole of a rectangle.
#include "gui/style/style.h"
#include "gui/view/view.h"

namespace vellum::gui {

namespace {

// The exclusive edge after an inclusive one.
int32_t Past(int32_t edge) { return edge < INT32_MAX ? edge + 1 : edge; }

} // namespace

void View::DrawDecoration(Canvas& canvas)
{
    const Style style(*this);
    const bool filled = HasFill(style);
    const Stroke stroke = StyleStroke(style);
    if (!filled && !stroke.on) return;
    const Rect content = GetContentRect();
    if (content.Empty()) return;

    const Gradient gradient = StyleGradient(style);
    if (gradient.on) {
        canvas.GradientFill(content, gradient.start, gradient.end, gradient.vertical);
    } else if (filled) {
        // Without a border the fill colour outlines the rectangle itself.
        const platform::Color fill = StyleFill(style);
        const platform::Pen pen = stroke.on ? stroke.pen : platform::Pen{fill, 1, platform::PenStyle::Solid};
        canvas.Rectangle(content.left, content.top, Past(content.right), Past(content.bottom), pen, fill);
        return;
    }
    if (stroke.on) {
        const platform::Point outline[5] = {{content.left, content.top},
                                            {content.right, content.top},
                                            {content.right, content.bottom},
                                            {content.left, content.bottom},
                                            {content.left, content.top}};
        canvas.Polyline(outline, stroke.pen);
    }
}

} // namespace vellum::gui
