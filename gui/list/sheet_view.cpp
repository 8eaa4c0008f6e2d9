#include "gui/list/sheet_view.h"

#include "engine/vm/interpreter.h"

#include <utility>
#include <vector>

namespace vellum::gui {

ItemTrack SheetView::Columns()
{
    const Rect content = GetContentRect();
    return ItemTrack(ip, content.left, content.right - content.left, IntField(u"topPosX"), IntField(u"sizeX"), 0,
                     [this](int32_t i) { return LengthFromMethod(u"GetColWidth", i, false); });
}

ItemTrack SheetView::Rows()
{
    const Rect content = GetContentRect();
    return ItemTrack(ip, content.top, content.bottom - content.top, IntField(u"topPosY"), IntField(u"sizeY"), 0,
                     [this](int32_t i) { return LengthFromMethod(u"GetRowHeight", i, true); });
}

void SheetView::PrepareCell(int32_t column, int32_t row, const Rect& r)
{
    if (table == nullptr || inner == nullptr) return;
    CallScriptMethod(ip, table, u"SetItem", {Value::Number(column), Value::Number(row)});
    PlaceInner(r);
}

void SheetView::Paint(Canvas& canvas, const Rect& clip)
{
    PaintClipped(canvas, clip, [&](const Rect& content) {
        // Only the cells that show in the clip are filled and painted; the
        // column edges are taken once for all the rows of this paint.
        const Rect area = Intersection(clip, content);
        if (area.Empty()) return;
        std::vector<std::pair<int32_t, Span>> columns;
        Columns().Walk(area.left, area.right, [&](int32_t column, Span span) {
            columns.emplace_back(column, span);
            return true;
        });
        if (columns.empty()) return;
        Rows().Walk(area.top, area.bottom, [&](int32_t row, Span rowSpan) {
            for (const auto& [column, span] : columns) {
                PrepareCell(column, row, {span.near, rowSpan.near, span.far, rowSpan.far});
                if (ip.ErrorPending()) return false;
                inner->Paint(canvas, clip);
            }
            return true;
        });
    });
}

bool SheetView::CellAt(int32_t x, int32_t y, int32_t& column, int32_t& row)
{
    if (!rect.Contains(x, y)) return false;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const ItemTrack columns = Columns();
    column = columns.IndexAt(x);
    if (column < 0 || column >= columns.First() + columns.FitCount()) return false;
    const ItemTrack rows = Rows();
    row = rows.IndexAt(y);
    return row >= 0 && row < rows.First() + rows.FitCount() && !ip.ErrorPending();
}

View* SheetView::HitTest(int32_t x, int32_t y)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    int32_t column = 0;
    int32_t row = 0;
    if (inner == nullptr || !CellAt(x, y, column, row)) return nullptr;
    const Span across = Columns().SpanOf(column);
    const Span down = Rows().SpanOf(row);
    PrepareCell(column, row, {across.near, down.near, across.far, down.far});
    if (ip.ErrorPending()) return nullptr;
    return inner->HitTest(x, y);
}

void SheetView::Refresh()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ResetTopWhenAllFit(u"topPosX", u"sizeX", [this] { return Columns().FitCount(); });
    ResetTopWhenAllFit(u"topPosY", u"sizeY", [this] { return Rows().FitCount(); });
}

} // namespace vellum::gui
