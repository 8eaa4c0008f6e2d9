// TLine: a line between "x1", "y1" and "x2", "y2", pixels from the content
// rectangle's top-left corner; by default along its top edge.
#pragma once

#include "gui/view/view.h"

namespace vellum::gui {

class LineView final : public View {
public:
    using View::View;
    void Draw(Canvas& canvas, const Rect& clip) override;
};

} // namespace vellum::gui
