#include "gui/layout/group_view.h"

namespace vellum::gui {

namespace {

// Stand-ins for what cannot be shown: a missing array, an entry that is no view.
constexpr char16_t kNoViews[] = u"{{parent=TText, text='errNoViews'}}";
constexpr char16_t kNotView[] = u"{parent=TText, text='errNotView'}";

} // namespace

void GroupView::Place(View& child, const Rect& r, bool arrange)
{
    child.SetRect(r);
    if (arrange) {
        child.Arrange(window);
    } else {
        child.Refresh();
    }
}

Value GroupView::UsableChild(const Value& value)
{
    bool usable = IsViewTable(ip, value);
    for (const View* v = this; usable && v != nullptr; v = v->Parent()) usable = v->Table() != value.table;
    if (usable) return value;
    const Value replacement = ip.EvalSource(kNotView);
    return replacement.IsTable() ? replacement : Value::Null();
}

void GroupView::ForEachChildView(void (View::*operation)())
{
    const Descent descent(*this);
    if (!descent.allowed) return;
    VisitChildViews([operation](View& child) {
        (child.*operation)();
        return true;
    });
}

void GroupView::Release() { ForEachChildView(&View::Release); }

void GroupView::Stop()
{
    ForEachChildView(&View::Stop);
    View::Stop();
}

void GroupView::Detach()
{
    ForEachChildView(&View::Detach);
    View::Detach();
}

void GroupView::LeaveWindow()
{
    ForEachChildView(&View::LeaveWindow);
    View::LeaveWindow();
}

void GroupView::Attach(View* parent_, Form* form_, TableObject* table_)
{
    View::Attach(parent_, form_, table_);
    if (table == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    TableObject* views = ip.GetTableField(table, u"views");
    if (views == nullptr) {
        const Value replacement = ip.EvalSource(kNoViews);
        if (!replacement.IsTable()) return;
        ip.TableSet(table, u"views", replacement);
        views = replacement.table;
    }
    ValueRoot keepViews(ip, Value::Table(views));
    // Keys first: creating children runs script code, which may store into the array.
    std::vector<Value> keys;
    {
        TableIterator it(*views);
        Value key, value;
        while (it.Next(key, value)) keys.push_back(key);
    }
    for (const Value& key : keys) {
        if (ip.ErrorPending()) return;
        const Value entry = views->Get(key);
        const Value child = UsableChild(entry);
        if (!child.IsTable()) return;
        if (!entry.IsTable() || entry.table != child.table) views->Set(key, child);
        CreateView(ip, this, form, child.table);
    }
}

void GroupView::Arrange(platform::NativeWindow* hostWindow)
{
    View::Arrange(hostWindow);
    const Descent descent(*this);
    if (descent.allowed) Layout(true);
}

void GroupView::Refresh()
{
    const Descent descent(*this);
    if (descent.allowed) Layout(false);
}

void GroupView::Paint(Canvas& canvas, const Rect& clip)
{
    if (!visible || !rect.Intersects(clip)) return;
    const Descent descent(*this);
    if (!descent.allowed) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    DrawDecoration(canvas);
    canvas.PushClip(GetContentRect());
    VisitChildViews([&](View& child) {
        child.Paint(canvas, clip);
        return true;
    });
    canvas.PopClip();
}

View* GroupView::HitTest(int32_t x, int32_t y)
{
    if (!rect.Contains(x, y)) return nullptr;
    const Descent descent(*this);
    if (!descent.allowed) return nullptr;
    View* hit = nullptr;
    // The topmost child, drawn last, is asked first.
    VisitChildViews(
        [&](View& child) {
            hit = child.HitTest(x, y);
            return hit == nullptr;
        },
        true);
    return hit != nullptr ? hit : this;
}

View* GroupView::FindById(std::u16string_view id)
{
    if (View* self = View::FindById(id)) return self;
    const Descent descent(*this);
    if (!descent.allowed) return nullptr;
    View* found = nullptr;
    VisitChildViews([&](View& child) {
        found = child.FindById(id);
        return found == nullptr;
    });
    return found;
}

View* GroupView::FindByWindow(const platform::NativeWindow* w)
{
    const Descent descent(*this);
    if (!descent.allowed) return nullptr;
    View* found = nullptr;
    VisitChildViews([&](View& child) {
        found = child.FindByWindow(w);
        return found == nullptr;
    });
    return found;
}

void GroupView::FindKeyTakers(std::vector<View*>& found, size_t enough)
{
    if (!visible || found.size() >= enough) return;
    if (TakesKeys()) {
        found.push_back(this);
        return;
    }
    const Descent descent(*this);
    if (!descent.allowed) return;
    VisitChildViews([&](View& child) {
        child.FindKeyTakers(found, enough);
        return found.size() < enough;
    });
}

void GroupView::OnCreate()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    View::OnCreate();
    const Descent descent(*this);
    if (!descent.allowed) return;
    VisitChildViews([](View& child) {
        child.OnCreate();
        return true;
    });
}

bool GroupView::OnClose()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    if (!View::OnClose()) return false;
    const Descent descent(*this);
    if (!descent.allowed) return true;
    return VisitChildViews([](View& child) { return child.OnClose(); });
}

void GroupView::Show()
{
    View::Show();
    ForEachChildView(&View::Show);
}

void GroupView::Hide()
{
    View::Hide();
    ForEachChildView(&View::Hide);
}

void GroupView::RemoveChildAt(int32_t index)
{
    if (table == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    TableObject* renumbered = ip.NewTable();
    ValueRoot keepRenumbered(ip, Value::Table(renumbered));
    View* removed = nullptr;
    int32_t next = 0;
    VisitChildren([&](const Child& child) {
        if (child.index == index) {
            removed = child.view;
        } else {
            renumbered->Set(Value::Number(next++), Value::Table(child.table));
        }
        return true;
    });
    ip.TableSet(table, u"views", Value::Table(renumbered));
    if (removed == nullptr) return;
    // The view is done with: its table may be added again, but that makes a
    // new view, so its timer must not go on ticking until it is collected.
    ValueRoot keepRemoved(ip, Value::Pointer(removed));
    removed->Stop();
    removed->Release();
    removed->Detach();
}

int32_t GroupView::AppendChild(TableObject* child, const std::function<void(int32_t)>& adopted)
{
    if (table == nullptr) return -1;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ValueRoot keepArgument(ip, Value::Table(child));
    const Value usable = UsableChild(Value::Table(child));
    if (!usable.IsTable()) return -1;
    ValueRoot keepChild(ip, usable);
    TableObject* views = ip.GetTableField(table, u"views");
    if (views == nullptr) {
        views = ip.NewTable();
        ip.TableSet(table, u"views", Value::Table(views));
    }
    int32_t index = 0;
    VisitChildren([&](const Child&) {
        ++index;
        return true;
    });
    views->Set(Value::Number(index), usable);
    View* view = CreateView(ip, this, form, usable.table);
    if (view == nullptr) {
        if (adopted) adopted(index);
        return index;
    }
    ValueRoot keepView(ip, Value::Pointer(view));
    view->SetRect(ChildArea());
    view->Arrange(window);
    if (adopted) adopted(index);
    view->OnCreate();
    return index;
}

int32_t GroupView::IndexOfView(const View* child)
{
    int32_t found = -1;
    if (child == nullptr) return found;
    VisitChildren([&](const Child& c) {
        if (c.view == child) found = c.index;
        return found < 0;
    });
    return found;
}

} // namespace vellum::gui
