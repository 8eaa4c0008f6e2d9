// The container classes and their methods for adding and removing children.
#include "gui/gui_library.h"
#include "gui/layout/canvas_view.h"
#include "gui/layout/grid_view.h"
#include "gui/layout/linear_view.h"
#include "gui/layout/switch_view.h"
#include "gui/view/view_class.h"

namespace vellum::gui {

namespace {

// The container of `this` and the view table of the one argument; none
// (with errTableExpected pending for a non-table) otherwise.
template <class Group>
Group* GroupAndTable(Interpreter& ip, TableObject*& child)
{
    if (!ip.CheckArgs(1, -1)) return nullptr;
    child = ip.ArgTable(1);
    if (child == nullptr) return nullptr;
    return dynamic_cast<Group*>(ThisView(ip));
}

uint32_t AddView(Interpreter& ip)
{
    TableObject* child = nullptr;
    if (auto* group = GroupAndTable<GroupView>(ip, child)) {
        ValueRoot keep(ip, Value::Pointer(group));
        group->AppendChild(child);
    }
    return 0;
}

uint32_t RemoveView(Interpreter& ip)
{
    TableObject* child = nullptr;
    auto* group = GroupAndTable<GroupView>(ip, child);
    if (group == nullptr) return 0;
    const int32_t index = group->IndexOfView(ViewOfTable(ip, child));
    if (index >= 0) group->RemoveChildAt(index);
    return 0;
}

// Appends a child, makes it current and gives its index; the child shown
// before stays shown until the next switch.
uint32_t AddItem(Interpreter& ip)
{
    TableObject* child = nullptr;
    auto* group = GroupAndTable<SwitchView>(ip, child);
    if (group == nullptr) return 0;
    ValueRoot keep(ip, Value::Pointer(group));
    const int32_t index = group->AppendChild(child);
    if (index < 0) return 0;
    group->SetCurPos(index);
    ip.PushNumber(index);
    return 1;
}

constexpr ClassMethod kGroupMethods[] = {{u"AddView", AddView}, {u"RemoveView", RemoveView}};

constexpr ClassMethod kSwitchMethods[] = {
    {u"DeleteItem", DeleteItemMethod}, {u"AddItem", AddItem}, {u"SwitchView", SwitchViewMethod}};

void RegisterGroup(Interpreter& ip, std::u16string_view name, NativeFunction create)
{
    AddMethods(ip, RegisterViewClass(ip, name, create), kGroupMethods);
}

} // namespace

void RegisterSwitchClass(Interpreter& ip)
{
    AddMethods(ip, RegisterViewClass(ip, u"TSwitch", CreateViewObject<SwitchView>), kSwitchMethods);
}

void RegisterLayoutClasses(Interpreter& ip)
{
    RegisterGroup(ip, u"TRow", CreateViewObject<RowView>);
    RegisterGroup(ip, u"TColumn", CreateViewObject<ColumnView>);
    RegisterGroup(ip, u"TGrid", CreateViewObject<GridView>);
    RegisterGroup(ip, u"TCanvas", CreateViewObject<CanvasView>);
}

} // namespace vellum::gui
