#include "gui/view/view_binding.h"

#include "gui/view/view.h"
#include "vm/class_binding.h"
#include "vm/interpreter.h"

namespace vellum::gui {

View* ViewOfTable(Interpreter& ip, TableObject* table)
{
    return NativeOf<View>(ip, table);
}

bool IsViewTable(Interpreter& ip, const Value& value)
{
    return value.IsTable() && ip.TableGet(value.table, u"GetView").tag == Tag::FuncBin;
}

View* CreateView(Interpreter& ip, View* parent, Form* form, TableObject* table)
{
    if (table == nullptr) return nullptr;
    ValueRoot keep(ip, Value::Table(table));
    ip.CallMethod(table, u"Create");
    if (ip.ErrorPending()) return nullptr;
    View* view = ViewOfTable(ip, table);
    if (view == nullptr) return nullptr;
    view->Attach(parent, form, table);
    return ip.ErrorPending() ? nullptr : view;
}

TableObject* NewPointTable(Interpreter& ip, int32_t x, int32_t y)
{
    TableObject* point = ip.NewTable();
    ip.TableSet(point, u"x", Value::Number(x));
    ip.TableSet(point, u"y", Value::Number(y));
    return point;
}

} // namespace vellum::gui
