// TCanvas: children placed by their own "left", "top", "width" and
// "height"; a child without a position is aligned by its style.
#pragma once

#include "gui/layout/group_view.h"

namespace vellum::gui {

class CanvasView final : public GroupView {
public:
    using GroupView::GroupView;

protected:
    void Layout(bool arrange) override;
};

} // namespace vellum::gui
