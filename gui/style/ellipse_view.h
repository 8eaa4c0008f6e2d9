// TEllipse: an ellipse filling the content rectangle, filled and outlined
// even without a style (solid black).
#pragma once

#include "gui/view/view.h"

namespace vellum::gui {

class EllipseView final : public View {
public:
    using View::View;
    void Draw(Canvas& canvas, const Rect& clip) override;
};

} // namespace vellum::gui
