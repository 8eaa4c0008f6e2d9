#include "gui/view/view_binding.h"

#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "gui/view/refresh_cause.h"
#include "gui/view/view.h"
#include "platform/window/message_loop.h"

namespace vellum::gui {

View* ViewOfTable(Interpreter& ip, TableObject* table)
{
    return NativeOf<View>(ip, table);
}

bool IsViewTable(Interpreter& ip, const Value& value)
{
    return value.IsTable() && ip.TableGet(value.table, u"GetView").tag == Tag::FuncBin;
}

namespace {

// Whether a view under parent would lie deeper than kDeepestView.
bool TooDeep(const View* parent)
{
    int32_t depth = 0;
    for (const View* v = parent; v != nullptr; v = v->Parent()) {
        if (++depth >= kDeepestView) return true;
    }
    return false;
}

} // namespace

View* CreateView(Interpreter& ip, View* parent, Form* form, TableObject* table)
{
    if (table == nullptr) return nullptr;
    // Building, laying out and painting a tree descend it on the native
    // stack; a tree deeper than that can carry ends as too deep a script
    // recursion does.
    if (TooDeep(parent)) {
        ip.RaiseError(errOutOfMemory);
        return nullptr;
    }
    ValueRoot keep(ip, Value::Table(table));
    ip.CallMethod(table, u"Create");
    if (ip.ErrorPending()) return nullptr;
    View* view = ViewOfTable(ip, table);
    if (view == nullptr) return nullptr;
    view->Attach(parent, form, table);
    return ip.ErrorPending() ? nullptr : view;
}

std::optional<Value> CallScriptHandler(Interpreter& ip, TableObject* table, std::u16string_view name, NonFunction rule,
                                       const HandlerArgument& argument)
{
    if (table == nullptr) return std::nullopt;
    ValueRoot keep(ip, Value::Table(table));
    const Value handler = ip.TableGet(table, name);
    if (handler.IsNull()) return std::nullopt;
    if (!handler.IsCallable()) {
        if (rule == NonFunction::isAnswer) return handler;
        ip.RaiseError(errFunctionCallToNonFunction);
        EndLoopsAfterError(ip);
        return Value::Null();
    }
    // The script's own refreshes write the typed text back, even inside a
    // relayout the desktop caused.
    const RefreshCause script(RefreshFor::Script);
    // The call's stack cells keep the argument alive while the script runs.
    const Value answer = argument ? ip.CallFunction(Value::Table(table), handler, {argument()})
                                  : ip.CallFunction(Value::Table(table), handler);
    EndLoopsAfterError(ip);
    return answer;
}

Value CallScriptMethod(Interpreter& ip, TableObject* table, std::u16string_view name, std::initializer_list<Value> args)
{
    const RefreshCause script(RefreshFor::Script);
    const Value answer = ip.CallMethod(table, name, args);
    EndLoopsAfterError(ip);
    return answer;
}

void EndLoopsAfterError(Interpreter& ip)
{
    if (ip.ErrorPending()) platform::EndLoopsOf(&ip);
}

TableObject* NewPointTable(Interpreter& ip, int32_t x, int32_t y)
{
    TableObject* point = ip.NewTable();
    ip.TableSet(point, u"x", Value::Number(x));
    ip.TableSet(point, u"y", Value::Number(y));
    return point;
}

void PointOfTable(Interpreter& ip, TableObject* point, int32_t& x, int32_t& y)
{
    if (!Interpreter::ValueToInt(ip.TableGet(point, u"x"), x) || !Interpreter::ValueToInt(ip.TableGet(point, u"y"), y)) {
        x = y = 0;
    }
}

} // namespace vellum::gui
