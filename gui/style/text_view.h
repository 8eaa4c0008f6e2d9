// TText: "text" on one line or, with "multiLine", wrapped at the content
// width; placed by the style's align and valign and clipped to the content
// rectangle. It measures itself for automatic sizes.
#pragma once

#include "gui/view/view.h"

namespace vellum::gui {

class TextView final : public View {
public:
    using View::View;
    void Draw(Canvas& canvas, const Rect& clip) override;
    int32_t MeasureHeight() override;
    int32_t MeasureWidth() override;

private:
    // The text's natural size in pixels, margins not included.
    platform::Size Measure();
};

} // namespace vellum::gui
