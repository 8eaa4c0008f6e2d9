#include "gui/layout/grid_view.h"

#include "gui/layout/size_value.h"
#include "gui/style/length.h"
#include "gui/style/view_property.h"

#include <algorithm>

namespace vellum::gui {

std::pair<int32_t, int32_t> GridView::Track::Cell(int32_t index) const
{
    if (!given) return {first, last};
    int64_t at = first;
    const auto count = static_cast<int32_t>(extents.size());
    if (index < 0 || index >= count) {
        for (int32_t extent : extents) at += extent;
        return {ClampPixels(at), ClampPixels(at - 1)};
    }
    for (int32_t i = 0; i < index; ++i) at += extents[static_cast<size_t>(i)];
    const bool lastStar = index == count - 1 && stars[static_cast<size_t>(index)];
    return {ClampPixels(at), lastStar ? last : ClampPixels(at + extents[static_cast<size_t>(index)] - 1)};
}

int32_t GridView::IndexOf(View& child, bool vertical)
{
    int32_t n = 0;
    return Interpreter::ValueToInt(ViewProperty(child, vertical ? u"row" : u"col"), n) ? n : 0;
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
    std::vector<Value> keys;
    {
        TableIterator it(*entries);
        Value key, value;
        while (it.Next(key, value)) keys.push_back(key);
    }
    // Entries are properties too: a function entry gives the size it computes.
    std::vector<SizeValue> sizes;
    for (const Value& key : keys) sizes.push_back(ReadSize(*this, ip.GetProperty(entries, key), vertical));

    int64_t fixed = 0;
    int64_t totalStars = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        int32_t extent = 0;
        switch (sizes[i].kind) {
        case SizeValue::Kind::Pixels:
            extent = sizes[i].amount;
            break;
        case SizeValue::Kind::Auto:
            // As wide as the widest child in this column.
            VisitChildViews([&](View& child) {
                if (IndexOf(child, vertical) == static_cast<int32_t>(i)) {
                    extent = std::max(extent, AutoSize(child, vertical));
                }
                return true;
            });
            break;
        case SizeValue::Kind::Stars:
            totalStars += sizes[i].amount;
            break;
        case SizeValue::Kind::Other:
            break;
        }
        fixed += extent;
        track.extents.push_back(extent);
        track.stars.push_back(sizes[i].kind == SizeValue::Kind::Stars);
    }
    // Unlike rows and columns, the grid shares the content's full pixel
    // count; when the fixed entries take it all, the stars get nothing.
    const int64_t free = int64_t{track.last} - track.first + 1 - fixed;
    const int64_t unit = totalStars > 0 ? std::max<int64_t>(0, free / totalStars) : 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (track.stars[i]) track.extents[i] = ClampPixels(sizes[i].amount * unit);
    }
    return track;
}

void GridView::Layout(bool arrange)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    // With only one array given, unplaced children take one cell each, in
    // order. They learn their index before the measuring, so that an
    // automatic row or column fits its children from the first layout on.
    const bool hasCols = ip.GetTableField(table, u"cols") != nullptr;
    const bool hasRows = ip.GetTableField(table, u"rows") != nullptr;
    if (hasCols != hasRows) {
        const std::u16string_view field = hasRows ? u"row" : u"col";
        VisitChildren([&](const Child& child) {
            if (!ip.GetProperty(child.table, field).IsNum()) ip.TableSet(child.table, field, Value::Number(child.index));
            return true;
        });
    }
    const Rect content = GetContentRect();
    const Track cols = MeasureTrack(false, content);
    const Track rows = MeasureTrack(true, content);
    VisitChildViews([&](View& child) {
        const auto [left, right] = cols.Cell(IndexOf(child, false));
        const auto [top, bottom] = rows.Cell(IndexOf(child, true));
        Place(child, {left, top, right, bottom}, arrange);
        return true;
    });
}

int32_t GridView::FirstLineSize(bool vertical)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const Descent descent(*this);
    if (!descent.allowed) return 0;
    int32_t largest = 0;
    VisitChildViews([&](View& child) {
        if (IndexOf(child, vertical) == 0) largest = std::max(largest, AutoSize(child, vertical));
        return true;
    });
    return largest;
}

int32_t GridView::MeasureHeight()
{
    return table == nullptr || ip.GetTableField(table, u"rows") != nullptr ? 0 : FirstLineSize(true);
}

int32_t GridView::MeasureWidth()
{
    return table == nullptr || ip.GetTableField(table, u"cols") != nullptr ? 0 : FirstLineSize(false);
}

} // namespace vellum::gui
