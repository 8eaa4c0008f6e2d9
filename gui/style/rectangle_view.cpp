#include "gui/style/rectangle_view.h"

namespace vellum::gui {

void RectangleView::Draw(Canvas& canvas, const Rect&) { DrawDecoration(canvas); }

} // namespace vellum::gui
