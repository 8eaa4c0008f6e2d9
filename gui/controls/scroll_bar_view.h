// TScrollBar: a bar over the positions 0 .. "scrollRange" - 1 with a thumb
// of "pgSize" positions at "curPos"; the user's actions move it by the
// scroll steps, which write "curPos" back and call "OnScroll" when the
// position changed.
#pragma once

#include "gui/controls/control_view.h"

namespace vellum::gui {

class ScrollBarView final : public ControlView {
public:
    explicit ScrollBarView(Interpreter& ip);

    // Orientation, font, range, page, position and place.
    void Refresh() override;
    // Along the bar: the parent's content rectangle; across it: the
    // system's thickness, 0 when "autoHide" hides a bar with nothing to scroll.
    int32_t MeasureHeight() override;
    int32_t MeasureWidth() override;
    // The scroll steps for a scroll code.
    void Scrolled(int32_t code) override;

private:
    bool Horizontal();
    int32_t Thickness();
    int32_t ParentLength(bool horizontal);
};

} // namespace vellum::gui
