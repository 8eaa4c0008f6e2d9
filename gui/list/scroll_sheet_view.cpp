#include "gui/list/scroll_sheet_view.h"

#include "engine/vm/interpreter.h"
#include "platform/window/key_codes.h"

#include <algorithm>

namespace vellum::gui {

namespace vk = platform::vk;

namespace {

// The first index that shows `current`: current itself when it lies before
// the track's first, else the first from which the page reaches it (the
// page is measured again from every new first, as lengths differ).
int32_t FirstShowing(const ItemTrack& track, int32_t current, const Interpreter& ip)
{
    int32_t first = track.First();
    if (current < first) return current;
    int32_t page = track.FitCount();
    while (int64_t{current} > int64_t{first} + page - 1 && !ip.ErrorPending()) {
        first = static_cast<int32_t>(std::max<int64_t>(int64_t{first} + 1, int64_t{current} - page + 1));
        page = track.From(first).FitCount();
    }
    return first;
}

} // namespace

void ScrollSheetView::ScrollCurPosToView()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const ItemTrack columns = Columns();
    const ItemTrack rows = Rows();
    const int32_t topX = FirstShowing(columns, IntField(u"curPosX"), ip);
    const int32_t topY = FirstShowing(rows, IntField(u"curPosY"), ip);
    if (ip.ErrorPending() || (topX == columns.First() && topY == rows.First())) return;
    SetIntField(u"topPosX", topX);
    SetIntField(u"topPosY", topY);
    CallHandler(u"OnTopPosChange");
}

bool ScrollSheetView::ScrollTopTo(int32_t topX, int32_t topY)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    topX = std::clamp(topX, 0, LastTopX());
    topY = std::clamp(topY, 0, LastTopY());
    if (topX == IntField(u"topPosX") && topY == IntField(u"topPosY")) return false;
    ScrolledTo({{u"topPosX", topX}, {u"topPosY", topY}});
    return true;
}

void ScrollSheetView::OnMouseDown(int32_t x, int32_t y)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    drag.Press(x, y);
    int32_t column = 0;
    int32_t row = 0;
    if (CellAt(x, y, column, row) && (column != IntField(u"curPosX") || row != IntField(u"curPosY"))) {
        SetIntField(u"curPosX", column);
        SetIntField(u"curPosY", row);
        CallHandler(u"OnCurPosChange");
    }
    View::OnMouseDown(x, y);
    Refresh();
    Invalidate();
}

void ScrollSheetView::OnMouseMove(int32_t x, int32_t y)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const platform::Point travel = drag.Travel(*this, x, y);
    if (travel.x != 0 || travel.y != 0) {
        // Whole columns and rows follow the pointer, as the items of a list do.
        int32_t movedX = 0;
        int32_t movedY = 0;
        const int32_t topX = Columns().Pulled(-travel.x, LastTopX(), movedX);
        const int32_t topY = Rows().Pulled(-travel.y, LastTopY(), movedY);
        if (movedX != 0 || movedY != 0) {
            drag.TakeUp(-movedX, -movedY);
            ScrollTopTo(topX, topY);
        }
    }
    View::OnMouseMove(x, y);
}

void ScrollSheetView::OnMouseUp(int32_t x, int32_t y)
{
    drag.Release();
    View::OnMouseUp(x, y);
}

bool ScrollSheetView::OnKeyDown(int32_t key)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const int32_t x = IntField(u"curPosX");
    const int32_t y = IntField(u"curPosY");
    int32_t newX = x;
    int32_t newY = y;
    switch (key) {
    case vk::Prior:
        newY = static_cast<int32_t>(std::max<int64_t>(int64_t{y} - Rows().FitCount() + 1, 0));
        break;
    case vk::Next:
        newY = static_cast<int32_t>(std::min<int64_t>(int64_t{y} + Rows().FitCount() - 1, int64_t{IntField(u"sizeY")} - 1));
        break;
    case vk::End:
        newX = IntField(u"sizeX") - 1;
        break;
    case vk::Home:
        newX = 0;
        break;
    case vk::Left:
        if (x > 0) --newX;
        break;
    case vk::Up:
        if (y > 0) --newY;
        break;
    case vk::Right:
        if (x < IntField(u"sizeX") - 1) ++newX;
        break;
    case vk::Down:
        if (y < IntField(u"sizeY") - 1) ++newY;
        break;
    default:
        return View::OnKeyDown(key);
    }
    if ((newX != x || newY != y) && !ip.ErrorPending()) {
        SetIntField(u"curPosX", newX);
        SetIntField(u"curPosY", newY);
        CallHandler(u"OnCurPosChange");
        ScrollCurPosToView();
        Refresh();
        Invalidate();
    }
    return true;
}

bool ScrollSheetView::OnWheel(int32_t across, int32_t down)
{
    if (across == 0 && down == 0) return false;
    const auto moved = [](int32_t from, int32_t by) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{from} + by, 0, INT32_MAX));
    };
    return ScrollTopTo(moved(IntField(u"topPosX"), across), moved(IntField(u"topPosY"), down));
}

} // namespace vellum::gui
