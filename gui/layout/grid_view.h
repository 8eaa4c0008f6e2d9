// TGrid: cells from the "cols" and "rows" arrays; each child sits in the
// cell its "col" and "row" name. Star columns share what the fixed and
// automatic ones leave, the last star column taking the remainder.
#pragma once

#include "gui/layout/group_view.h"

#include <utility>
#include <vector>

namespace vellum::gui {

class GridView final : public GroupView {
public:
    using GroupView::GroupView;

    int32_t MeasureHeight() override;
    int32_t MeasureWidth() override;

protected:
    void Layout(bool arrange) override;

private:
    // One axis of the grid: the extent of every entry of "cols" or "rows".
    struct Track {
        bool given = false; // the array exists
        std::vector<int32_t> extents;
        std::vector<bool> stars;
        int32_t first = 0; // the content's first and last pixel on this axis
        int32_t last = -1;
        // The cell's first and last pixel for an index. An index past the
        // last entry (or below 0) has no column of its own: it gets an
        // empty cell just beyond the last entry, so such a child is laid
        // out but shows nothing.
        std::pair<int32_t, int32_t> Cell(int32_t index) const;
    };
    Track MeasureTrack(bool vertical, const Rect& content);
    // A child's "col" or "row", 0 when it is not a number.
    int32_t IndexOf(View& child, bool vertical);
    // The largest automatic size across the children in index 0 of the axis.
    int32_t FirstLineSize(bool vertical);
};

} // namespace vellum::gui
