#include "gui/layout/grid_view.h"

#include "core/table_iterator.h"
#include "gui/layout/size_value.h"
#include "gui/view/view_binding.h"
#include "vm/interpreter.h"

#include <algorithm>

namespace vellum::gui {

std::pair<int32_t, int32_t> GridView::Track::Cell(int32_t index) const
{
    if (!given) return {first, last};
    int32_t at = first;
    const auto count = static_cast<int32_t>(extents.size());
    // An index past the last entry gets an empty cell at the far edge.
    if (index < 0 || index >= count) {
        for (int32_t extent : extents) at += extent;
        return {at, at - 1};
    }
    for (int32_t i = 0; i < index; ++i) at += extents[static_cast<size_t>(i)];
    const bool lastStar = index == count - 1 && stars[static_cast<size_t>(index)];
    return {at, lastStar ? last : at + extents[static_cast<size_t>(index)] - 1};
}

int32_t GridView::IndexOf(View& child, bool vertical)
{
    int32_t n = 0;
    return Interpreter::ValueToInt(ip.GetProperty(child.table, vertical ? u"row" : u"col"), n) ? n : 0;
}

GridView::Track GridView::MeasureTrack(bool vertical, const Rect& content)
{
    Track track;
    track.first = vertical ? content.top : content.left;
    track.last = vertical ? content.bottom : content.right;
    TableObject* entries = ip.GetTableField(table, vertical ? u"rows" : u"cols");
    if (entries == nullptr) return track;
    ValueRoot keepEntries(ip, Value::Table(entries));
    track.given = true;
    std::vector<SizeValue> sizes;
    {
        TableIterator it(*entries);
        Value key, value;
        while (it.Next(key, value)) sizes.push_back(ReadSize(*this, value, vertical));
    }
    int32_t fixed = 0;
    int32_t totalStars = 0;
    const std::vector<View*> children = ChildViews();
    for (size_t i = 0; i < sizes.size(); ++i) {
        int32_t extent = 0;
        switch (sizes[i].kind) {
        case SizeValue::Kind::Pixels:
            extent = sizes[i].amount;
            fixed += extent;
            break;
        case SizeValue::Kind::Auto:
            for (View* child : children) {
                if (IndexOf(*child, vertical) != static_cast<int32_t>(i)) continue;
                extent = std::max(extent, vertical ? child->AutoHeightOf() : child->AutoWidthOf());
            }
            fixed += extent;
            break;
        case SizeValue::Kind::Stars:
            totalStars += sizes[i].amount;
            break;
        case SizeValue::Kind::Other:
            break;
        }
        track.extents.push_back(extent);
        track.stars.push_back(sizes[i].kind == SizeValue::Kind::Stars);
    }
    const int32_t unit = totalStars > 0 ? (track.last - track.first - fixed + 1) / totalStars : 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (track.stars[i]) track.extents[i] = sizes[i].amount * unit;
    }
    return track;
}

void GridView::Layout(bool arrange)
{
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    const Rect content = GetContentRect();
    const Track cols = MeasureTrack(false, content);
    const Track rows = MeasureTrack(true, content);
    int32_t k = 0;
    for (TableObject* childTable : ChildTables()) {
        // With only one array given, unplaced children take one cell each, in order.
        if (rows.given != cols.given) {
            const std::u16string_view field = rows.given ? u"row" : u"col";
            if (!ip.GetProperty(childTable, field).IsNum()) ip.TableSet(childTable, field, Value::Number(k));
        }
        ++k;
        View* child = ViewOfTable(ip, childTable);
        if (child == nullptr) continue;
        const auto [left, right] = cols.Cell(IndexOf(*child, false));
        const auto [top, bottom] = rows.Cell(IndexOf(*child, true));
        Place(*child, {left, top, right, bottom}, arrange);
    }
}

int32_t GridView::FirstLineSize(bool vertical)
{
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    int32_t largest = 0;
    for (View* child : ChildViews()) {
        if (IndexOf(*child, vertical) != 0) continue;
        largest = std::max(largest, vertical ? child->AutoHeightOf() : child->AutoWidthOf());
    }
    return largest;
}

int32_t GridView::MeasureHeight()
{
    return ip.GetTableField(table, u"rows") != nullptr ? 0 : FirstLineSize(true);
}

int32_t GridView::MeasureWidth()
{
    return ip.GetTableField(table, u"cols") != nullptr ? 0 : FirstLineSize(false);
}

} // namespace vellum::gui
