#include "gui/layout/switch_view.h"

#include "gui/view/view_binding.h"
#include "vm/interpreter.h"

namespace vellum::gui {

int32_t SwitchView::GetCurPos()
{
    ValueRoot keep(ip, Value::Table(table));
    int32_t n = 0;
    return Interpreter::ValueToInt(ip.GetProperty(table, u"curPos"), n) ? n : 0;
}

void SwitchView::SetCurPos(int32_t n) { ip.TableSet(table, u"curPos", Value::Number(n)); }

View* SwitchView::Current()
{
    const int32_t index = GetCurPos();
    const std::vector<TableObject*> children = ChildTables();
    if (index < 0 || static_cast<size_t>(index) >= children.size()) return nullptr;
    return ViewOfTable(ip, children[static_cast<size_t>(index)]);
}

void SwitchView::Arrange(platform::NativeWindow* hostWindow)
{
    View::Arrange(hostWindow);
    arranged = true;
    Layout(true);
    SwitchTo(GetCurPos());
}

void SwitchView::Layout(bool arrange)
{
    // Before the first arrangement there is nothing to refresh.
    if (!arranged) return;
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    const Rect content = GetContentRect();
    View* current = arrange ? nullptr : Current();
    for (View* child : ChildViews()) {
        if (arrange || child == current) {
            Place(*child, content, arrange);
        } else {
            child->SetRect(content);
        }
    }
}

void SwitchView::Paint(Canvas& canvas, const Rect& clip)
{
    if (!visible || !rect.Intersects(clip)) return;
    ValueRoot keep(ip, Value::Table(table));
    DrawDecoration(canvas);
    if (View* current = Current()) current->Paint(canvas, clip);
}

View* SwitchView::HitTest(int32_t x, int32_t y)
{
    View* current = Current();
    return current != nullptr ? current->HitTest(x, y) : nullptr;
}

int32_t SwitchView::MeasureHeight() { return parent != nullptr ? parent->GetContentRect().Height() : 0; }
int32_t SwitchView::MeasureWidth() { return parent != nullptr ? parent->GetContentRect().Width() : 0; }

void SwitchView::SwitchTo(int32_t index)
{
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    const std::vector<TableObject*> children = ChildTables();
    for (size_t i = 0; i < children.size(); ++i) {
        View* child = ViewOfTable(ip, children[i]);
        if (child == nullptr) continue;
        if (static_cast<int32_t>(i) == index) {
            child->Show();
        } else {
            child->Hide();
        }
    }
    SetCurPos(index);
    ip.GetProperty(table, u"OnSwitch");
}

} // namespace vellum::gui
