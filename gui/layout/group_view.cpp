#include "gui/layout/group_view.h"

#include "core/table_iterator.h"
#include "gui/view/view_binding.h"
#include "vm/interpreter.h"

#include <utility>

namespace vellum::gui {

namespace {

// Stand-ins for what cannot be shown: a missing array, an entry that is no view.
constexpr char16_t kNoViews[] = u"{{parent=TText, text='errNoViews'}}";
constexpr char16_t kNotView[] = u"{parent=TText, text='errNotView'}";

} // namespace

std::vector<TableObject*> GroupView::ChildTables()
{
    std::vector<TableObject*> children;
    TableObject* views = table != nullptr ? ip.GetTableField(table, u"views") : nullptr;
    if (views == nullptr) return children;
    TableIterator it(*views);
    Value key, value;
    while (it.Next(key, value)) {
        if (value.IsTable()) children.push_back(value.table);
    }
    return children;
}

std::vector<View*> GroupView::ChildViews()
{
    std::vector<View*> children;
    for (TableObject* child : ChildTables()) {
        if (View* view = ViewOfTable(ip, child)) children.push_back(view);
    }
    return children;
}

Value GroupView::ViewsValue()
{
    TableObject* views = table != nullptr ? ip.GetTableField(table, u"views") : nullptr;
    return views != nullptr ? Value::Table(views) : Value::Null();
}

void GroupView::Place(View& child, const Rect& r, bool arrange)
{
    child.SetRect(r);
    if (arrange) {
        child.Arrange(window);
    } else {
        child.Refresh();
    }
}

void GroupView::Release()
{
    for (View* child : ChildViews()) child->Release();
}

void GroupView::Stop()
{
    for (View* child : ChildViews()) child->Stop();
    View::Stop();
}

void GroupView::Attach(View* parent_, Form* form_, TableObject* table_)
{
    View::Attach(parent_, form_, table_);
    ValueRoot keep(ip, Value::Table(table));
    TableObject* views = ip.GetTableField(table, u"views");
    if (views == nullptr) {
        const Value replacement = ip.EvalSource(kNoViews);
        if (!replacement.IsTable()) return;
        ip.TableSet(table, u"views", replacement);
        views = replacement.table;
    }
    ValueRoot keepViews(ip, Value::Table(views));
    // Keys first: creating children runs script code, which may store into the array.
    std::vector<std::pair<Value, Value>> entries;
    TableIterator it(*views);
    Value key, value;
    while (it.Next(key, value)) entries.emplace_back(key, value);
    for (auto& [entryKey, entryValue] : entries) {
        if (ip.ErrorPending()) return;
        Value child = views->Get(entryKey);
        if (!IsViewTable(ip, child)) {
            child = ip.EvalSource(kNotView);
            if (!child.IsTable()) return;
            views->Set(entryKey, child);
        }
        CreateView(ip, this, form, child.table);
    }
}

void GroupView::Arrange(platform::NativeWindow* hostWindow)
{
    View::Arrange(hostWindow);
    Layout(true);
}

void GroupView::Paint(Canvas& canvas, const Rect& clip)
{
    if (!visible || !rect.Intersects(clip)) return;
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    DrawDecoration(canvas);
    canvas.PushClip(GetContentRect());
    for (View* child : ChildViews()) child->Paint(canvas, clip);
    canvas.PopClip();
}

View* GroupView::HitTest(int32_t x, int32_t y)
{
    if (!rect.Contains(x, y)) return nullptr;
    const std::vector<View*> children = ChildViews();
    // The topmost child, drawn last, is asked first.
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (View* hit = (*it)->HitTest(x, y)) return hit;
    }
    return this;
}

View* GroupView::FindById(std::u16string_view id)
{
    if (View* self = View::FindById(id)) return self;
    for (View* child : ChildViews()) {
        if (View* found = child->FindById(id)) return found;
    }
    return nullptr;
}

View* GroupView::FindByWindow(const platform::NativeWindow* w)
{
    for (View* child : ChildViews()) {
        if (View* found = child->FindByWindow(w)) return found;
    }
    return nullptr;
}

void GroupView::OnCreate()
{
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    View::OnCreate();
    for (View* child : ChildViews()) child->OnCreate();
}

bool GroupView::OnClose()
{
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepViews(ip, ViewsValue());
    if (!View::OnClose()) return false;
    for (View* child : ChildViews()) {
        if (!child->OnClose()) return false;
    }
    return true;
}

void GroupView::Show()
{
    View::Show();
    for (View* child : ChildViews()) child->Show();
}

void GroupView::Hide()
{
    View::Hide();
    for (View* child : ChildViews()) child->Hide();
}

void GroupView::RemoveChildAt(int32_t index)
{
    const std::vector<TableObject*> children = ChildTables();
    TableObject* renumbered = ip.NewTable();
    int32_t next = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        if (static_cast<int32_t>(i) == index) {
            if (View* removed = ViewOfTable(ip, children[i])) removed->Release();
            continue;
        }
        renumbered->Set(Value::Number(next++), Value::Table(children[i]));
    }
    ip.TableSet(table, u"views", Value::Table(renumbered));
}

int32_t GroupView::AppendChild(TableObject* child)
{
    ValueRoot keep(ip, Value::Table(table));
    ValueRoot keepChild(ip, Value::Table(child));
    TableObject* views = ip.GetTableField(table, u"views");
    if (views == nullptr) {
        views = ip.NewTable();
        ip.TableSet(table, u"views", Value::Table(views));
    }
    const auto index = static_cast<int32_t>(ChildTables().size());
    views->Set(Value::Number(index), Value::Table(child));
    View* view = CreateView(ip, this, form, child);
    if (view == nullptr) return index;
    view->SetRect(GetContentRect());
    view->Arrange(window);
    view->OnCreate();
    return index;
}

int32_t GroupView::IndexOfView(View* child)
{
    const std::vector<TableObject*> children = ChildTables();
    for (size_t i = 0; i < children.size(); ++i) {
        if (child != nullptr && ViewOfTable(ip, children[i]) == child) return static_cast<int32_t>(i);
    }
    return -1;
}

} // namespace vellum::gui
