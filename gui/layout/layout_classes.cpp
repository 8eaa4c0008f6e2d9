// The container classes and their methods for adding, removing and
// switching children.
#include "gui/gui_library.h"
#include "gui/layout/canvas_view.h"
#include "gui/layout/grid_view.h"
#include "gui/layout/linear_view.h"
#include "gui/layout/switch_view.h"
#include "gui/view/view_binding.h"
#include "gui/view/view_class.h"

namespace vellum::gui {

namespace {

template <class Group>
Group* ThisGroup(Interpreter& ip)
{
    return dynamic_cast<Group*>(ThisView(ip));
}

uint32_t AddView(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* child = ip.ArgTable(1);
    if (child == nullptr) return 0;
    if (auto* group = ThisGroup<GroupView>(ip)) group->AppendChild(child);
    return 0;
}

uint32_t RemoveView(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* child = ip.ArgTable(1);
    if (child == nullptr) return 0;
    auto* group = ThisGroup<GroupView>(ip);
    if (group == nullptr) return 0;
    const int32_t index = group->IndexOfView(ViewOfTable(ip, child));
    if (index >= 0) group->RemoveChildAt(index);
    return 0;
}

// Appends a child, makes it current and gives its index; the child shown
// before stays shown until the next switch.
uint32_t AddItem(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* child = ip.ArgTable(1);
    if (child == nullptr) return 0;
    auto* group = ThisGroup<SwitchView>(ip);
    if (group == nullptr) return 0;
    ValueRoot keep(ip, Value::Table(group->table));
    const int32_t index = group->AppendChild(child);
    group->SetCurPos(index);
    ip.PushNumber(index);
    return 1;
}

// The switch of `this` and the whole index its one argument gives; none
// (with the error pending when the argument is wrong) otherwise.
SwitchView* SwitchAndIndex(Interpreter& ip, int32_t& index)
{
    if (!ip.CheckArgs(1, -1)) return nullptr;
    const double n = ip.ArgNumber(1);
    if (ip.ErrorPending()) return nullptr;
    Interpreter::ValueToInt(Value::Number(n), index);
    return ThisGroup<SwitchView>(ip);
}

// Removes the child at index when the container and all its children
// consent to closing, then shows the first child.
uint32_t DeleteItem(Interpreter& ip)
{
    int32_t index = 0;
    SwitchView* group = SwitchAndIndex(ip, index);
    if (group == nullptr) return 0;
    ValueRoot keep(ip, Value::Table(group->table));
    if (!group->OnClose()) return 0;
    group->RemoveChildAt(index);
    group->SwitchTo(0);
    return 0;
}

uint32_t SwitchViewMethod(Interpreter& ip)
{
    int32_t index = 0;
    SwitchView* group = SwitchAndIndex(ip, index);
    if (group == nullptr) return 0;
    ValueRoot keep(ip, Value::Table(group->table));
    group->SwitchTo(index);
    return 0;
}

void RegisterGroup(Interpreter& ip, std::u16string_view name, NativeFunction create)
{
    TableObject* classTable = RegisterViewClass(ip, name, create);
    ip.SetMethod(classTable, u"AddView", AddView);
    ip.SetMethod(classTable, u"RemoveView", RemoveView);
}

} // namespace

void RegisterLayoutClasses(Interpreter& ip)
{
    TableObject* switchClass = RegisterViewClass(ip, u"TSwitch", CreateViewObject<gui::SwitchView>);
    ip.SetMethod(switchClass, u"DeleteItem", DeleteItem);
    ip.SetMethod(switchClass, u"AddItem", AddItem);
    ip.SetMethod(switchClass, u"SwitchView", SwitchViewMethod);
    RegisterGroup(ip, u"TRow", CreateViewObject<RowView>);
    RegisterGroup(ip, u"TColumn", CreateViewObject<ColumnView>);
    RegisterGroup(ip, u"TGrid", CreateViewObject<GridView>);
    RegisterGroup(ip, u"TCanvas", CreateViewObject<CanvasView>);
}

} // namespace vellum::gui
