// TChart: the place of a chart in a view tree. No script can give a chart
// data, so it shows its style's decoration (fill or gradient, border) and
// leaves the chart area empty; it has no natural size of its own.
#pragma once

#include "gui/view/view.h"

namespace vellum::gui {

class ChartView final : public View {
public:
    using View::View;
    void Draw(Canvas& canvas, const Rect& clip) override;
};

} // namespace vellum::gui
