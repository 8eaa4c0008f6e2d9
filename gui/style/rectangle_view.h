// TRectangle: its decoration (fill or gradient, border) is all it draws.
#pragma once

#include "gui/view/view.h"

namespace vellum::gui {

class RectangleView final : public View {
public:
    using View::View;
    void Draw(Canvas& canvas, const Rect& clip) override;
};

} // namespace vellum::gui
