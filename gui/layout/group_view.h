// The base of the containers: a view whose children are the view tables in
// its "views" array. Children are found through that array every time, so
// a script that edits the array sees its edits at the next layout.
#pragma once

#include "gui/view/view.h"

#include <vector>

namespace vellum::gui {

class GroupView : public View {
public:
    using View::View;

    void Release() override;
    void Stop() override;
    void Attach(View* parent, Form* form, TableObject* table) override;
    void Arrange(platform::NativeWindow* hostWindow) override;
    void Paint(Canvas& canvas, const Rect& clip) override;
    View* HitTest(int32_t x, int32_t y) override;
    View* FindById(std::u16string_view id) override;
    View* FindByWindow(const platform::NativeWindow* w) override;
    void Refresh() override { Layout(false); }
    void OnCreate() override;
    bool OnClose() override;
    void Show() override;
    void Hide() override;
    bool IsGroup() const override { return true; }

    // Leaves the child at index out of a renumbered "views" array.
    virtual void RemoveChildAt(int32_t index);
    // Appends a child, creates and arranges it on the whole content
    // rectangle and runs its OnCreate; gives its index.
    int32_t AppendChild(TableObject* child);
    // The index of the child whose native view is child's, or -1.
    int32_t IndexOfView(View* child);

protected:
    // Places the children; with arrange they are arranged, else refreshed.
    virtual void Layout(bool arrange) = 0;

    // The table values of "views", in array order.
    std::vector<TableObject*> ChildTables();
    // The native views of those tables; tables without one are left out.
    std::vector<View*> ChildViews();
    // The "views" array, for rooting while children run script code: the
    // child views listed stay alive even if the script drops them meanwhile.
    Value ViewsValue();
    // Gives the child its rectangle, then arranges or refreshes it.
    void Place(View& child, const Rect& r, bool arrange);
};

} // namespace vellum::gui
