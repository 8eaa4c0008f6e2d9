// TSheet: a table of "sizeX" columns by "sizeY" rows shown through one item
// view. For each visible cell the sheet calls the script's
// "SetItem"(column, row), places the item view on the cell and paints it.
// Column widths come from "GetColWidth"(index) and row heights from
// "GetRowHeight"(index); the first visible column and row are "topPosX"
// and "topPosY".
#pragma once

#include "gui/list/item_host_view.h"
#include "gui/list/item_track.h"

#include <cstdint>

namespace vellum::gui {

class SheetView : public ItemHostView {
public:
    using ItemHostView::ItemHostView;

    void Paint(Canvas& canvas, const Rect& clip) override;
    // The item view, filled for the cell under the point; none off the cells.
    View* HitTest(int32_t x, int32_t y) override;
    // Brings "topPosX" and "topPosY" back to 0 on an axis whose cells all fit.
    void Refresh() override;

protected:
    // The columns (or the rows) as they lie now, from "topPosX" ("topPosY").
    ItemTrack Columns();
    ItemTrack Rows();
    // The cell at (x, y) among the columns and rows of the page; false when
    // there is none.
    bool CellAt(int32_t x, int32_t y, int32_t& column, int32_t& row);
    // Fills the item view for a cell (the script's "SetItem") and places it.
    void PrepareCell(int32_t column, int32_t row, const Rect& r);
    // The largest first column (row) that still shows a full page.
    int32_t LastTopX() { return Columns().LastFirst(); }
    int32_t LastTopY() { return Rows().LastFirst(); }
};

} // namespace vellum::gui
