// The interpreter's side of native calls: registering natives and globals,
// table lookups along "parent", reading arguments, pushing results and
// calling back into scripts.
#include "engine/vm/interpreter.h"

#include <algorithm>
#include <cmath>

namespace vellum {

// --- registration ------------------------------------------------------------

void Interpreter::RegisterFunction(std::u16string_view name, NativeFunction function)
{
    globals->Set(MakeString(name), Value::Native(function));
}

void Interpreter::SetMethod(TableObject* table, std::u16string_view name, NativeFunction function)
{
    table->Set(MakeString(name), Value::Native(function));
}

void Interpreter::SetGlobal(std::u16string_view name, TableObject* table)
{
    globals->Set(MakeString(name), Value::Table(table));
}

void Interpreter::SetGlobal(std::u16string_view name, const Value& value) { globals->Set(MakeString(name), value); }

Value Interpreter::GetGlobal(std::u16string_view name) { return globals->Get(MakeString(name)); }

bool Interpreter::HasGlobal(const Value& name)
{
    Value existing;
    if (globals->Find(name, existing)) return true;
    if (!missingGlobal || !name.IsStr()) return false;
    const ValueRoot keepName(*this, name);
    // A copy: the hook may replace itself while it runs.
    const MissingGlobalHook hook = missingGlobal;
    hook(*this, name.str->Utf16());
    return globals->Find(name, existing);
}

// --- tables --------------------------------------------------------------------

Value Interpreter::TableGetInherited(TableObject* table, const Value& key)
{
    // Longer chains are taken as cycles; the lookup then finds nothing.
    constexpr int kMaxParentHops = 1000;
    for (int hops = 0; hops < kMaxParentHops; ++hops) {
        // Objects made alike keep "parent" at the same entry, so the entry
        // the last lookup found it at is tried first.
        if (!table->EntryHasKey(parentEntryGuess, parentKey)) {
            parentEntryGuess = table->EntryIndexOf(parentKey);
            if (parentEntryGuess < 0) return Value::Null();
        }
        const Value& parent = table->EntryValue(parentEntryGuess);
        if (!parent.IsTable()) return Value::Null();
        table = parent.table;
        const Value* v = table->Stored(key);
        if (v != nullptr && !v->IsNull()) return *v;
    }
    return Value::Null();
}

TableObject* Interpreter::GetTableField(TableObject* table, std::u16string_view name)
{
    const Value v = TableGet(table, name);
    return v.IsTable() ? v.table : nullptr;
}

Value Interpreter::GetProperty(TableObject* table, const Value& key)
{
    const Value v = TableGet(table, key);
    if (!v.IsCallable()) return v;
    return CallFunction(Value::Table(table), v);
}

// --- native calls ----------------------------------------------------------------

bool Interpreter::CheckArgs(int min, int max)
{
    sp -= argCount + 1;
    const int given = argCount - 1;
    if (given < min) {
        RaiseError(errFewArguments);
        return false;
    }
    if (given > (max < 0 ? min : max)) {
        RaiseError(errManyArguments);
        return false;
    }
    return true;
}

double Interpreter::ArgNumber(int i)
{
    const Value& v = ArgValue(i);
    if (v.IsNum()) return v.num;
    RaiseError(errNumberExpected);
    return 0.0;
}

uint32_t Interpreter::ArgBool(int i)
{
    const Value& v = ArgValue(i);
    if (v.tag == Tag::Bool) return v.word;
    RaiseError(errBoolExpected);
    return 0;
}

TableObject* Interpreter::ArgTable(int i)
{
    const Value& v = ArgValue(i);
    if (v.IsTable()) return v.table;
    RaiseError(errTableExpected);
    return nullptr;
}

void Interpreter::PushValue(const Value& v)
{
    if (!CheckStack(1)) return;
    *++sp = v;
}

bool Interpreter::PopBool()
{
    if (sp == stack) return false;
    return (sp--)->IsTrue();
}

bool Interpreter::ValueToInt(const Value& v, int32_t& out)
{
    if (!v.IsNum()) return false;
    const double d = std::trunc(v.num);
    if (std::isnan(d)) {
        out = 0;
    } else {
        out = static_cast<int32_t>(std::clamp(d, -2147483648.0, 2147483647.0));
    }
    return true;
}

Value Interpreter::CallFunction(const Value& thisValue, const Value& function, std::initializer_list<Value> args)
{
    // Nothing runs while an error is pending, natives included.
    if (ErrorPending()) return Value::Null();
    const StackState saved = SaveStack();
    if (!CheckStack(static_cast<int>(args.size()) + 2)) return Value::Null();
    *++sp = function;
    *++sp = thisValue;
    for (const Value& a : args) *++sp = a;
    if (!CallValue(static_cast<int>(args.size()) + 1, true) || ErrorPending()) {
        RestoreStack(saved);
        return Value::Null();
    }
    const Value result = *sp;
    --sp;
    return result;
}

Value Interpreter::CallMethod(TableObject* table, std::u16string_view key, std::initializer_list<Value> args)
{
    const Value function = TableGet(table, key);
    if (!function.IsCallable()) {
        RaiseError(errFunctionCallToNonFunction);
        return Value::Null();
    }
    return CallFunction(Value::Table(table), function, args);
}

} // namespace vellum
