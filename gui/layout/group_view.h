// The base of the containers: a view whose children are the view tables in
// its "views" array. Children are found through that array every time, and
// each child's native view through its table's "pObject" just before it is
// used, so a script that edits, replaces or drops children (even from a
// handler that runs in the middle of a layout) is seen at once and never
// leaves the container holding a view that is gone.
#pragma once

#include "engine/core/table_iterator.h"
#include "engine/vm/interpreter.h"
#include "gui/view/view.h"
#include "gui/view/view_binding.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace vellum::gui {

class GroupView : public View {
public:
    using View::View;

    void Release() override;
    void Stop() override;
    void Detach() override;
    void LeaveWindow() override;
    void Attach(View* parent, Form* form, TableObject* table) override;
    void Arrange(platform::NativeWindow* hostWindow) override;
    void Paint(Canvas& canvas, const Rect& clip) override;
    View* HitTest(int32_t x, int32_t y) override;
    View* FindById(std::u16string_view id) override;
    View* FindByWindow(const platform::NativeWindow* w) override;
    // The shown children's, unless the group takes keys itself.
    void FindKeyTakers(std::vector<View*>& found, size_t enough) override;
    void Refresh() override;
    void OnCreate() override;
    bool OnClose() override;
    void Show() override;
    void Hide() override;
    bool IsGroup() const override { return true; }

    // Leaves the child at index out of a renumbered "views" array; the
    // child's timer is stopped and its platform resources released.
    virtual void RemoveChildAt(int32_t index);
    // Appends a child, creates and arranges it on ChildArea, calls adopted
    // with its index and runs its OnCreate; gives its index, -1 when nothing
    // could be appended (an error is pending). A table that cannot be a
    // child is replaced by an error view, as in Attach.
    int32_t AppendChild(TableObject* child, const std::function<void(int32_t)>& adopted = {});
    // The index of the child whose native view is child's, or -1.
    int32_t IndexOfView(const View* child);

protected:
    // A child as a walk sees it: its index among the table children, its
    // table, and its native view (none when its Create failed).
    struct Child {
        int32_t index;
        TableObject* table;
        View* view;
    };

    // Calls visit(const Child&) for every table child of "views", the first
    // (or, topmostFirst, the last) first, until visit gives false; gives
    // false when a visit stopped the walk. The array and the child visited
    // are kept alive meanwhile, and every entry is read again just before
    // its visit.
    template <class Visit>
    bool VisitChildren(Visit&& visit, bool topmostFirst = false);
    // The same, for the children that have a native view: visit(View&).
    template <class Visit>
    bool VisitChildViews(Visit&& visit, bool topmostFirst = false)
    {
        return VisitChildren(
            [&](const Child& c) { return c.view == nullptr || visit(*c.view); }, topmostFirst);
    }

    // Places the children; with arrange they are arranged, else refreshed.
    virtual void Layout(bool arrange) = 0;
    // Where a new child is placed: the content rectangle here; a switch
    // gives the rectangle of its pages.
    virtual Rect ChildArea() { return GetContentRect(); }

    // Held by every operation that passes into the children. At most two
    // may run on one container at a time (a handler of a child may redraw
    // its container while that lays it out); a third is refused. Only a
    // tree that a script made contain itself gets that far, and refusing
    // keeps its layout, painting and hit testing from recursing forever.
    class Descent {
    public:
        explicit Descent(GroupView& group) : count(group.descents), allowed(count < 2) { ++count; }
        Descent(const Descent&) = delete;
        Descent& operator=(const Descent&) = delete;
        ~Descent() { --count; }

    private:
        int32_t& count;

    public:
        const bool allowed;
    };

    // Runs the operation on every child that has a view, unless a third
    // descent would be needed (see Descent).
    void ForEachChildView(void (View::*operation)());
    // Gives the child its rectangle, then arranges or refreshes it.
    void Place(View& child, const Rect& r, bool arrange);

private:
    // The value itself when it can be a child here: a view table that is
    // neither this container's nor an ancestor's (a view cannot hold
    // itself); else a new errNotView text view, null when that failed.
    Value UsableChild(const Value& value);

    int32_t descents = 0;
};

template <class Visit>
bool GroupView::VisitChildren(Visit&& visit, bool topmostFirst)
{
    if (table == nullptr) return true;
    // This view, and through it its table, lives through the walk even if
    // the script drops it; the array too, even if "views" is replaced.
    ValueRoot keepSelf(ip, Value::Pointer(this));
    TableObject* views = ip.GetTableField(table, u"views");
    if (views == nullptr) return true;
    ValueRoot keepViews(ip, Value::Table(views));
    // The keys of the table children as the walk begins; their keys stay
    // in the array (entries are never removed), so each is read afresh.
    std::vector<Value> keys;
    {
        TableIterator it(*views);
        Value key, value;
        while (it.Next(key, value)) {
            if (value.IsTable()) keys.push_back(key);
        }
    }
    const auto count = static_cast<int32_t>(keys.size());
    for (int32_t step = 0; step < count; ++step) {
        const int32_t index = topmostFirst ? count - 1 - step : step;
        const Value value = views->Get(keys[static_cast<size_t>(index)]);
        if (!value.IsTable()) continue;
        ValueRoot keepChild(ip, value);
        View* view = ViewOfTable(ip, value.table);
        ValueRoot keepView(ip, view != nullptr ? Value::Pointer(view) : Value::Null());
        if (!visit(Child{index, value.table, view})) return false;
    }
    return true;
}

} // namespace vellum::gui
