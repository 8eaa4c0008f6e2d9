// TRow and TColumn: children side by side or stacked. Fixed and automatic
// sizes are taken first; the stars share what is left, each star the same
// whole number of pixels.
#pragma once

#include "gui/layout/group_view.h"

namespace vellum::gui {

class LinearView : public GroupView {
public:
    LinearView(Interpreter& ip, bool vertical) : GroupView(ip), vertical(vertical) {}

    // A row is as high as its highest child, a column as wide as its widest.
    int32_t MeasureHeight() override;
    int32_t MeasureWidth() override;

protected:
    void Layout(bool arrange) override;

private:
    // The child's extent along the axis, starUnit pixels per star; fixed and
    // stars grow by what it asks for, for the first pass that finds starUnit.
    int32_t ExtentOf(View& child, int32_t starUnit, int64_t& fixed, int64_t& stars);
    // The largest automatic size across the axis, with the margins across it.
    int32_t Thickness();

    const bool vertical;
    int32_t starUnit = 0;
};

class RowView final : public LinearView {
public:
    explicit RowView(Interpreter& ip) : LinearView(ip, false) {}
};

class ColumnView final : public LinearView {
public:
    explicit ColumnView(Interpreter& ip) : LinearView(ip, true) {}
};

} // namespace vellum::gui
