// TButton: a push button whose caption is "text", placed by the style's
// "align" and "valign"; a click reaches the view's OnClick.
#pragma once

#include "gui/controls/control_view.h"

namespace vellum::gui {

class ButtonView final : public ControlView {
public:
    explicit ButtonView(Interpreter& ip);

    // Alignment, font, caption and place.
    void Refresh() override;
    // The caption in the font, the margins and 8 pixels for the face.
    int32_t MeasureHeight() override;
    int32_t MeasureWidth() override;
};

} // namespace vellum::gui
