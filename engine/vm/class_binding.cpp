#include "engine/vm/class_binding.h"

#include "engine/vm/interpreter_internal.h"

namespace vellum {

void RegisterFunctions(Interpreter& ip, std::span<const GlobalFunction> functions)
{
    for (const GlobalFunction& function : functions) ip.RegisterFunction(function.name, function.function);
}

TableObject* DefineClass(Interpreter& ip, std::u16string_view name, std::span<const ClassMethod> methods)
{
    TableObject* classTable = ip.NewTable();
    AddMethods(ip, classTable, methods);
    ip.SetGlobal(name, classTable);
    return classTable;
}

void AddMethods(Interpreter& ip, TableObject* classTable, std::span<const ClassMethod> methods)
{
    for (const ClassMethod& method : methods) ip.SetMethod(classTable, method.name, method.function);
}

bool AddMethods(Interpreter& ip, std::u16string_view className, std::span<const ClassMethod> methods)
{
    const Value classTable = ip.GetGlobal(className);
    if (!classTable.IsTable()) return false;
    AddMethods(ip, classTable.table, methods);
    return true;
}

void SetParent(Interpreter& ip, TableObject* table, const Value& parent)
{
    table->Set(Internals(ip).ParentKey(), parent);
}

void AttachNative(Interpreter& ip, TableObject* table, GcObject* object)
{
    table->Set(Internals(ip).NativeObjectKey(), Value::Pointer(object));
}

void BindNative(Interpreter& ip, TableObject* table, const Value& parent, GcObject* object)
{
    SetParent(ip, table, parent);
    AttachNative(ip, table, object);
}

void AttachNativeToThis(Interpreter& ip, GcObject* object)
{
    const Value& self = ip.ArgValue(0);
    if (self.IsTable()) AttachNative(ip, self.table, object);
}

GcObject* NativeObjectOf(Interpreter& ip, TableObject* table)
{
    const Value v = ip.TableGet(table, Internals(ip).NativeObjectKey());
    return v.tag == Tag::Ptr ? v.object : nullptr;
}

uint32_t DeriveFromThis(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const Value self = ip.ArgValue(0);
    const Value t = ip.ArgValue(1);
    if (t.IsTable()) SetParent(ip, t.table, self);
    ip.PushValue(t);
    return 1;
}

} // namespace vellum
