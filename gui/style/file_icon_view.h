// TImageListIcon: the icon the desktop shows for "file", 32 DIP square,
// placed by the style's align and valign.
#pragma once

#include "gui/view/view.h"

namespace vellum::gui {

class FileIconView final : public View {
public:
    using View::View;
    void Draw(Canvas& canvas, const Rect& clip) override;
    int32_t MeasureHeight() override;
    int32_t MeasureWidth() override;
};

} // namespace vellum::gui
