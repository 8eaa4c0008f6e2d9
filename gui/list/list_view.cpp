#include "gui/list/list_view.h"

#include "engine/vm/interpreter.h"
#include "gui/style/view_property.h"

#include <algorithm>

namespace vellum::gui {

bool ListView::Horizontal() { return ViewProperty(*this, u"horizontal").IsTrue(); }

bool ListView::HasItemSizes() { return table != nullptr && !ip.TableGet(table, u"GetItemSize").IsNull(); }

int32_t ListView::UniformPage()
{
    int32_t n = 0;
    if (Interpreter::ValueToInt(ViewProperty(*this, u"pgSize"), n)) return n;
    if (Interpreter::ValueToInt(ViewProperty(*this, u"listSize"), n)) return n;
    return 0;
}

ItemTrack ListView::Track()
{
    const Rect content = GetContentRect();
    const bool horizontal = Horizontal();
    const int32_t start = horizontal ? content.left : content.top;
    const int32_t extent = horizontal ? content.right - content.left : content.bottom - content.top;
    const int32_t top = IntField(u"topPos");
    int32_t count = IntField(u"listSize");
    int32_t uniform = 0;
    ItemTrack::LengthOf lengthOf;
    if (HasItemSizes()) {
        lengthOf = [this, horizontal](int32_t i) { return LengthFromMethod(u"GetItemSize", i, !horizontal); };
    } else {
        // The page shares the content's length; a page of no items has
        // no length to share, and such a list shows nothing.
        const int32_t page = UniformPage();
        if (page > 0) {
            uniform = std::max(1, static_cast<int32_t>((int64_t{extent} + 1) / page));
        } else {
            count = 0;
        }
    }
    return ItemTrack(ip, start, extent, top, count, uniform, std::move(lengthOf));
}

int32_t ListView::PageSize()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    if (!HasItemSizes()) return UniformPage();
    return Track().FitCount();
}

int32_t ListView::LastTop()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    if (!HasItemSizes()) return std::max(0, IntField(u"listSize") - UniformPage());
    return Track().LastFirst();
}

Rect ListView::ItemRect(const Rect& content, Span span, bool horizontal)
{
    // The rectangle ends on the item's last pixel, so neighbours never share one.
    return horizontal ? Rect{span.near, content.top, span.far, content.bottom}
                           : Rect{content.left, span.near, content.right, span.far};
}

void ListView::PrepareItem(int32_t index, const Rect& r)
{
    if (table == nullptr || inner == nullptr) return;
    CallScriptMethod(ip, table, u"SetItem", {Value::Number(index)});
    PlaceInner(r);
}

void ListView::Paint(Canvas& canvas, const Rect& clip)
{
    PaintClipped(canvas, clip, [&](const Rect& content) {
        if (IntField(u"listSize") == 0) return;
        const bool horizontal = Horizontal();
        const ItemTrack track = Track();
        // Only the items that show in the clip are filled and painted.
        const Rect area = Intersection(clip, content);
        if (area.Empty()) return;
        const int32_t from = horizontal ? area.left : area.top;
        const int32_t to = horizontal ? area.right : area.bottom;
        track.Walk(from, to, [&](int32_t index, Span span) {
            PrepareItem(index, ItemRect(content, span, horizontal));
            if (ip.ErrorPending()) return false;
            inner->Paint(canvas, clip);
            return true;
        });
    });
}

int32_t ListView::Point2Pos(int32_t x, int32_t y)
{
    if (!rect.Contains(x, y)) return -1;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const bool horizontal = Horizontal();
    const int32_t index = Track().IndexAt(horizontal ? x : y);
    if (index < 0) return -1;
    const Rect content = GetContentRect();
    const int32_t across = horizontal ? y : x;
    const bool inside = horizontal ? across >= content.top && across <= content.bottom
                                        : across >= content.left && across <= content.right;
    return inside ? index : -1;
}

View* ListView::HitTest(int32_t x, int32_t y)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const int32_t index = Point2Pos(x, y);
    if (index < 0 || inner == nullptr) return nullptr;
    PrepareItem(index, ItemRect(GetContentRect(), Track().SpanOf(index), Horizontal()));
    if (ip.ErrorPending()) return nullptr;
    return inner->HitTest(x, y);
}

void ListView::RepaintItem(int32_t index)
{
    if (inner == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const int32_t top = IntField(u"topPos");
    // Items off the page need no repaint; nothing is asked of them.
    if (index < top || index > int64_t{top} + PageSize() || index >= IntField(u"listSize")) return;
    const Rect content = GetContentRect();
    const Rect r = ItemRect(content, Track().SpanOf(index), Horizontal());
    if (!r.Intersects(content)) return;
    PrepareItem(index, r);
    if (!ip.ErrorPending()) inner->Invalidate();
}

void ListView::Refresh()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ResetTopWhenAllFit(u"topPos", u"listSize", [this] { return PageSize(); });
}

bool ListView::ScrollTopTo(int32_t top)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    top = std::clamp(top, 0, LastTop());
    if (top == IntField(u"topPos")) return false;
    ScrolledTo({{u"topPos", top}});
    return true;
}

} // namespace vellum::gui
