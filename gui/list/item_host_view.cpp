#include "gui/list/item_host_view.h"

#include "engine/core/collector.h"
#include "engine/vm/interpreter.h"
#include "gui/style/length.h"
#include "gui/style/view_property.h"
#include "gui/view/view_binding.h"

#include <algorithm>

namespace vellum::gui {

void ItemHostView::Mark(Collector& collector)
{
    View::Mark(collector);
    collector.MarkObject(inner);
}

void ItemHostView::Release()
{
    if (inner != nullptr) inner->Release();
}

void ItemHostView::LeaveWindow()
{
    if (inner != nullptr) inner->LeaveWindow();
    View::LeaveWindow();
}

void ItemHostView::Stop()
{
    if (inner != nullptr) inner->Stop();
    View::Stop();
}

void ItemHostView::Attach(View* parent_, Form* form_, TableObject* table_)
{
    View::Attach(parent_, form_, table_);
    if (table == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const Value view = ViewProperty(*this, u"view");
    if (!view.IsTable()) return;
    // A view cannot show itself or a view it lies in: making it again would
    // take the native view from under its table.
    for (const View* v = this; v != nullptr; v = v->Parent()) {
        if (v->Table() == view.table) return;
    }
    ValueRoot keepView(ip, view);
    inner = CreateView(ip, this, form, view.table);
}

void ItemHostView::Arrange(platform::NativeWindow* hostWindow)
{
    View::Arrange(hostWindow);
    if (inner == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    inner->Arrange(hostWindow);
}

int32_t ItemHostView::IntField(std::u16string_view name)
{
    int32_t n = 0;
    return Interpreter::ValueToInt(ViewProperty(*this, name), n) ? n : 0;
}

void ItemHostView::SetIntField(std::u16string_view name, int32_t n)
{
    if (table != nullptr) ip.TableSet(table, name, Value::Number(n));
}

int32_t ItemHostView::LengthFromMethod(std::u16string_view method, int32_t index, bool vertical)
{
    if (table == nullptr) return 0;
    const Value answer = CallScriptMethod(ip, table, method, {Value::Number(index)});
    return LengthInPixels(*this, answer, vertical).value_or(0);
}

void ItemHostView::ScrolledTo(std::initializer_list<std::pair<std::u16string_view, int32_t>> positions)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    for (const auto& [name, value] : positions) SetIntField(name, value);
    CallHandler(u"OnTopPosChange");
    Refresh();
    Invalidate();
}

void ItemHostView::PlaceInner(const Rect& r)
{
    inner->SetRect(r);
    inner->Refresh();
}

Rect Intersection(const Rect& a, const Rect& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

} // namespace vellum::gui
