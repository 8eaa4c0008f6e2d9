#include "vm/interpreter.h"

#include "compiler/compiler.h"
#include "core/table_iterator.h"
#include "core/unicode.h"
#include "lexer/source_reader.h"
#include "lexer/token.h"
#include "vm/error_reporter.h"
#include "vm/path_resolver.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace vellum {

namespace {

constexpr size_t kMaxErrorArg = 511;
constexpr size_t kMaxErrorMessage = 1535;
// Longer "parent" chains are taken as cycles; the lookup then finds nothing.
constexpr int kMaxParentHops = 1000;
// Tables nested deeper than this, and tables that contain themselves, print as "{...}".
constexpr size_t kMaxPrintDepth = 100;
// Concatenate keeps its buffer between calls up to this many units.
constexpr size_t kKeptConcatUnits = size_t{1} << 20;

const PathResolver& DefaultPaths()
{
    static const PathResolver resolver;
    return resolver;
}

void AppendNumber(std::u16string& out, double d)
{
    char buffer[400];
    const char* end;
    if (d >= -2147483648.0 && d <= 2147483647.0 && d == std::trunc(d)) {
        end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int32_t>(d)).ptr;
    } else if (std::isnan(d)) {
        // A NaN's sign means nothing; it prints as "nan" either way.
        out += u"nan";
        return;
    } else {
        // Six decimals, as "%f" prints them, whatever the process locale says.
        end = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::fixed, 6).ptr;
    }
    for (const char* c = buffer; c != end; ++c) out += static_cast<char16_t>(*c);
}

} // namespace

Interpreter::Interpreter(LibraryHook coreLibrary) : errorTable(*this), paths(&DefaultPaths())
{
    SetUp(coreLibrary);
}

Interpreter::~Interpreter()
{
    iterators.clear();
    collector.DestroyAll();
}

void Interpreter::SetUp(LibraryHook coreLibrary)
{
    globals = NewTable();
    parentKey = MakeString(u"parent");
    SetGlobal(u"__parent", parentKey);
    codeConstants = NewTable();
    SetGlobal(u"__CodeConstants", codeConstants);
    constexpr std::pair<Tag, std::u16string_view> kPrototypes[] = {
        {Tag::Null, u"__NullPrototype"}, {Tag::Bool, u"__BoolPrototype"},   {Tag::Num, u"__NumPrototype"},
        {Tag::Str, u"__String"},         {Tag::Table, u"__TablePrototype"}, {Tag::Func, u"__FuncPrototype"},
        {Tag::Ptr, u"__PtrPrototype"},
    };
    for (const auto& [tag, name] : kPrototypes) {
        prototypes[static_cast<int>(tag)] = NewTable();
        SetGlobal(name, prototypes[static_cast<int>(tag)]);
    }
    prototypes[static_cast<int>(Tag::FuncBin)] = prototypes[static_cast<int>(Tag::Func)];
    pObjectKey = MakeString(u"pObject");
    defaultKey = MakeString(u"Default");
    if (coreLibrary != nullptr) coreLibrary(*this);
    errorTable.AddDefaultMessages();
    SetGlobal(u"__LocStrs", errorTable.LocaleTables());
}

// --- running code ----------------------------------------------------------

void Interpreter::RunSource(std::u16string_view text)
{
    const uint32_t id = KeepSourceText(std::u16string(text));
    Code code;
    Compiler::Compile(*this, SourceText(id), id, code, false);
    if (ErrorPending()) return;
    const StackState saved = SaveStack();
    if (!Execute(code, true) || ErrorPending()) RestoreStack(saved);
}

void Interpreter::CompileSource(std::u16string_view text, std::u16string_view tokenFile)
{
    const uint32_t id = KeepSourceText(std::u16string(text));
    Code code;
    Compiler::Compile(*this, SourceText(id), id, code, false, tokenFile);
}

Value Interpreter::EvalSource(std::u16string_view text)
{
    // A text that does not even lex is just text: the first token is read
    // under a saved error state.
    uint32_t first;
    Value constant;
    {
        const ErrorState saved = SaveError();
        ClearError();
        SourceReader reader(*this, text);
        first = reader.Next();
        constant = reader.TokenValue();
        RestoreError(saved);
    }
    if (first == token::Number || first == token::Boolean) return constant;
    if (first != '{') return MakeString(text);

    const ErrorState saved = SaveError();
    ClearError();
    // The text is no script the user sees: its errors are placed at the
    // instruction that evaluated it.
    Code code;
    Compiler::Compile(*this, text, kNoSourceText, code, true);
    if (ErrorPending()) {
        RestoreError(saved);
        return Value::Null();
    }
    RestoreError(saved);
    if (ErrorPending()) return Value::Null();
    const StackState stackBefore = SaveStack();
    if (!Execute(code, true) || ErrorPending()) {
        RestoreStack(stackBefore);
        return Value::Null();
    }
    const Value result = *sp;
    --sp;
    return result;
}

Interpreter::StackState Interpreter::SaveStack() const { return {sp, fp, argCount}; }

void Interpreter::RestoreStack(const StackState& state)
{
    sp = state.sp;
    fp = state.fp;
    argCount = state.argCount;
    ReleaseIteratorsAbove(sp);
}

void Interpreter::ReleaseIteratorsAbove(const Value* top)
{
    while (!iterators.empty() && iterators.back().first > top) iterators.pop_back();
}

bool Interpreter::CheckStack(int cells)
{
    if (sp + cells < stack + kStackCells - 1) return true;
    RaiseError(errOutOfMemory);
    return false;
}

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

// --- objects -------------------------------------------------------------------

TableObject* Interpreter::NewTable() { return Make<TableObject>(); }

FunctionObject* Interpreter::NewFunction() { return Make<FunctionObject>(); }

void Interpreter::AppendText(std::u16string& out, const Value& v, bool quoted, bool pretty,
                             std::vector<const TableObject*>& open)
{
    switch (v.tag) {
    case Tag::Null:
        out += u"null";
        return;
    case Tag::Bool:
        out += v.word != 0 ? u"true" : u"false";
        return;
    case Tag::Num:
        AppendNumber(out, v.num);
        return;
    case Tag::Str:
        if (quoted) out += u'"';
        out += v.str->View();
        if (quoted) out += u'"';
        return;
    case Tag::FuncBin:
        out += u"[funcBin]";
        return;
    case Tag::Func:
        out += u"[func]";
        return;
    case Tag::Binary:
        out += u"[binary]";
        return;
    case Tag::Ptr: {
        char buffer[32];
        const int n = std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(v.bits));
        for (int i = 0; i < n; ++i) out += static_cast<char16_t>(buffer[i]);
        return;
    }
    case Tag::Table:
        break;
    }
    const TableObject* table = v.table;
    if (open.size() >= kMaxPrintDepth || std::find(open.begin(), open.end(), table) != open.end()) {
        out += u"{...}";
        return;
    }
    open.push_back(table);
    out += u'{';
    TableObject::HashCursor cursor;
    Value key, value;
    bool first = true;
    while (table->NextInHashOrder(cursor, key, value)) {
        if (pretty && !first) out += u", \n";
        if (pretty) out += u'\n';
        first = false;
        AppendText(out, key, true, pretty, open);
        out += u" = ";
        AppendText(out, value, true, pretty, open);
    }
    out += pretty ? u"\n} \n" : u"} ";
    open.pop_back();
}

StringObject* Interpreter::Concatenate(const Value& a, const Value& b)
{
    // Both texts go into one buffer and only the result is interned.
    concatBuffer.clear();
    std::vector<const TableObject*> open;
    AppendText(concatBuffer, a, false, true, open);
    AppendText(concatBuffer, b, false, true, open);
    StringObject* result = Intern(concatBuffer);
    // A rare huge text does not keep its buffer for the interpreter's life.
    if (concatBuffer.capacity() > kKeptConcatUnits) std::u16string().swap(concatBuffer);
    return result;
}

StringObject* Interpreter::ToString(const Value& v, bool quoted, bool pretty)
{
    if (v.IsStr() && !quoted) return v.str;
    std::u16string text;
    std::vector<const TableObject*> open;
    AppendText(text, v, quoted, pretty, open);
    return Intern(text);
}

// --- tables --------------------------------------------------------------------

Value Interpreter::TableGetInherited(TableObject* table, const Value& key)
{
    Value v;
    for (int hops = 0; v.IsNull() && hops < kMaxParentHops; ++hops) {
        const Value parent = table->Get(parentKey);
        if (!parent.IsTable()) return Value::Null();
        table = parent.table;
        v = table->Get(key);
    }
    return v;
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

void Interpreter::SetNativeObject(GcObject* object)
{
    const Value& self = ArgValue(0);
    if (self.IsTable()) self.table->Set(pObjectKey, Value::Pointer(object));
}

GcObject* Interpreter::GetNativeObject()
{
    const Value& self = ArgValue(0);
    if (!self.IsTable()) return nullptr;
    const Value v = TableGet(self.table, pObjectKey);
    return v.tag == Tag::Ptr ? v.object : nullptr;
}

Value Interpreter::CallFunction(const Value& thisValue, const Value& function, std::initializer_list<Value> args)
{
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

// --- errors ------------------------------------------------------------------------

void Interpreter::RaiseError(ErrorId id, std::u16string_view arg1, std::u16string_view arg2)
{
    if (errorId != errOK) return;
    errorId = id;
    errorArg1.assign(arg1.substr(0, kMaxErrorArg));
    errorArg2.assign(arg2.substr(0, kMaxErrorArg));
}

void Interpreter::RaiseErrorAt(ErrorId id, SourcePlace place, std::u16string_view arg1, std::u16string_view arg2)
{
    if (errorId != errOK) return;
    RaiseError(id, arg1, arg2);
    errorPlace = place;
}

std::optional<TextLocation> Interpreter::ErrorLocation() const
{
    if (!errorPlace.Known() || errorPlace.text >= sourceTexts.size()) return std::nullopt;
    const std::u16string_view text = sourceTexts[errorPlace.text];
    if (static_cast<size_t>(errorPlace.position) > text.size()) return std::nullopt;
    return LocateInText(text, errorPlace.position);
}

uint32_t Interpreter::KeepSourceText(std::u16string text)
{
    sourceTexts.push_back(std::move(text));
    return static_cast<uint32_t>(sourceTexts.size() - 1);
}

void Interpreter::ClearError()
{
    errorId = errOK;
    errorArg1.clear();
    errorArg2.clear();
    errorPlace = {};
}

void Interpreter::RestoreError(const ErrorState& state)
{
    errorId = state.id;
    errorArg1 = state.arg1;
    errorArg2 = state.arg2;
    errorPlace = state.place;
}

std::u16string Interpreter::FormatError()
{
    return FormatTemplate(errorTable.LookupMessage(errorId), errorArg1, errorArg2, kMaxErrorMessage);
}

void Interpreter::ReportError()
{
    if (!ErrorPending()) return;
    const std::u16string message = FormatError();
    const std::optional<TextLocation> at = ErrorLocation();
    // Cleared first: showing the error may run a message loop and scripts.
    ClearError();
    if (reporter != nullptr) {
        reporter->ShowError(message, at);
    } else {
        std::cerr << "Vellum Error: " << ToUtf8(message) << '\n';
    }
}

void Interpreter::SetPathResolver(const PathResolver* r) { paths = r != nullptr ? r : &DefaultPaths(); }

// --- collector -----------------------------------------------------------------------

void Interpreter::MarkRoots()
{
    collector.MarkObject(globals);
    collector.MarkObject(codeConstants);
    for (TableObject* prototype : prototypes) collector.MarkObject(prototype);
    collector.MarkObject(errorTable.LocaleTables());
    collector.MarkValue(parentKey);
    collector.MarkValue(pObjectKey);
    collector.MarkValue(defaultKey);
    for (const Value* cell = stack + 1; cell <= sp; ++cell) collector.MarkValue(*cell);
    for (const ValueRoot* root = roots; root != nullptr; root = root->below) collector.MarkValue(root->value);
}

void Interpreter::Collect()
{
    if (collector.busy) return;
    collector.busy = true;
    MarkRoots();
    collector.Propagate();
    collector.Sweep();
    collector.busy = false;
}

} // namespace vellum
