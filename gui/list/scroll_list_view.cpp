#include "gui/list/scroll_list_view.h"

#include "engine/vm/interpreter.h"
#include "platform/window/key_codes.h"

#include <algorithm>

namespace vellum::gui {

namespace vk = platform::vk;

bool ScrollListView::ScrollCurPosToView()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const int32_t top = IntField(u"topPos");
    const int32_t cp = IntField(u"curPos");
    const int32_t page = PageSize();
    const int64_t lastShown = int64_t{top} + page - 1;
    if (cp >= top && cp <= lastShown) return false;
    const int32_t newTop = cp > lastShown ? static_cast<int32_t>(int64_t{cp} - page + 1) : cp;
    if (newTop == top) return false;
    SetIntField(u"topPos", newTop);
    CallHandler(u"OnTopPosChange");
    return true;
}

void ScrollListView::CurrentChanged(int32_t old, bool topChanged)
{
    if (topChanged) {
        Refresh();
        Invalidate();
    } else {
        RepaintItem(IntField(u"curPos"));
        RepaintItem(old);
    }
    CallHandler(u"OnCurPosChange");
}

void ScrollListView::OnMouseDown(int32_t x, int32_t y)
{
    drag.Press(x, y);
    View::OnMouseDown(x, y);
}

void ScrollListView::OnMouseMove(int32_t x, int32_t y)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const platform::Point travel = drag.Travel(*this, x, y);
    const bool horizontal = Horizontal();
    // The content follows the pointer in whole items: dragging up by an
    // item's length brings the next item in at the bottom.
    const int32_t pull = -(horizontal ? travel.x : travel.y);
    if (pull != 0) {
        int32_t moved = 0;
        const int32_t top = Track().Pulled(pull, LastTop(), moved);
        if (moved != 0) {
            drag.TakeUp(horizontal ? -moved : 0, horizontal ? 0 : -moved);
            ScrollTopTo(top);
        }
    }
    View::OnMouseMove(x, y);
}

void ScrollListView::OnMouseUp(int32_t x, int32_t y)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    if (!drag.Release()) {
        const int32_t index = Point2Pos(x, y);
        const int32_t old = IntField(u"curPos");
        if (index >= 0 && index != old) {
            SetIntField(u"curPos", index);
            CurrentChanged(old, false);
        }
    }
    View::OnMouseUp(x, y);
}

int32_t ScrollListView::KeyTarget(int32_t key, int32_t cp)
{
    const bool horizontal = Horizontal();
    const int32_t previous = horizontal ? vk::Left : vk::Up;
    const int32_t next = horizontal ? vk::Right : vk::Down;
    const int32_t n = IntField(u"listSize");
    if (key == vk::Prior) return static_cast<int32_t>(std::max<int64_t>(int64_t{cp} - PageSize() + 1, 0));
    if (key == vk::Next) return static_cast<int32_t>(std::min<int64_t>(int64_t{cp} + PageSize() - 1, int64_t{n} - 1));
    if (key == vk::End) return n - 1;
    if (key == vk::Home) return 0;
    if (key == previous) return cp < 1 ? cp : cp - 1;
    if (key == next) return cp >= n - 1 ? cp : cp + 1;
    return cp;
}

bool ScrollListView::OnKeyDown(int32_t key)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const int32_t cp = IntField(u"curPos");
    const int32_t target = KeyTarget(key, cp);
    if (target != cp && !ip.ErrorPending()) {
        SetIntField(u"curPos", target);
        CurrentChanged(cp, ScrollCurPosToView());
    }
    return View::OnKeyDown(key);
}

bool ScrollListView::OnWheel(int32_t across, int32_t down)
{
    const int32_t steps = Horizontal() && across != 0 ? across : down;
    if (steps == 0) return false;
    return ScrollTopTo(static_cast<int32_t>(std::clamp<int64_t>(int64_t{IntField(u"topPos")} + steps, 0, INT32_MAX)));
}

} // namespace vellum::gui
