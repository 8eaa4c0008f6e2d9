// How native libraries give scripts their classes and tie native objects to
// script tables.
//
// A class is a global table of methods, declared as an array:
//     constexpr ClassMethod kMixerMethods[] = {{u"Default", Default}, {u"Add", Add}};
//     DefineClass(ip, u"Mixer", kMixerMethods);
// Another library may add methods to a class that exists already. An
// instance is a table whose "parent" is its class (or a table derived from
// it) and whose "pObject" holds its native object; methods find that object
// again through NativeOf, along the "parent" chain like any field.
#pragma once

#include "engine/core/gc_object.h"
#include "engine/core/table_object.h"
#include "engine/core/value.h"
#include "engine/vm/interpreter.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace vellum {

struct ClassMethod {
    std::u16string_view name;
    NativeFunction function;
};

// A global function is declared the same way: a name and its native.
using GlobalFunction = ClassMethod;

// Registers each function as a global, in their order (scripts that list
// the globals see it).
void RegisterFunctions(Interpreter& ip, std::span<const GlobalFunction> functions);

// Makes a class table holding the methods, in their order, and stores it
// as the global name.
TableObject* DefineClass(Interpreter& ip, std::u16string_view name, std::span<const ClassMethod> methods);
// Adds the methods to a class table; one of a name the class has replaces it.
void AddMethods(Interpreter& ip, TableObject* classTable, std::span<const ClassMethod> methods);
// The same for the class a global names; false (adding nothing) when that
// global is no table.
bool AddMethods(Interpreter& ip, std::u16string_view className, std::span<const ClassMethod> methods);

// Makes the table derive from parent: lookups that find nothing in it go on there.
void SetParent(Interpreter& ip, TableObject* table, const Value& parent);
// Ties a native object to the table; the collector keeps it while the table lives.
void AttachNative(Interpreter& ip, TableObject* table, GcObject* object);
// Both: the usual way a class's Default makes an instance.
void BindNative(Interpreter& ip, TableObject* table, const Value& parent, GcObject* object);
// AttachNative on `this` of the running native, when it is a table.
void AttachNativeToThis(Interpreter& ip, GcObject* object);

// The native object of a table (inherited ones count); null for a table
// without one.
GcObject* NativeObjectOf(Interpreter& ip, TableObject* table);

// The native object of a table when it is a T, else null.
template <class T>
T* NativeOf(Interpreter& ip, TableObject* table)
{
    return table != nullptr ? dynamic_cast<T*>(NativeObjectOf(ip, table)) : nullptr;
}

template <class T>
T* NativeOf(Interpreter& ip, const Value& v)
{
    return v.IsTable() ? NativeOf<T>(ip, v.table) : nullptr;
}

// The native object of `this` in a method, when it is a T.
template <class T>
T* ThisNative(Interpreter& ip)
{
    return NativeOf<T>(ip, ip.ArgValue(0));
}

// The Default method of classes whose instances are made by scripts:
// t = Class({...}) makes t derive from the class and gives t; a value that
// is not a table comes back as it was.
uint32_t DeriveFromThis(Interpreter& ip);

} // namespace vellum
