// The interpreter's life: setting up the globals, prototypes and message
// tables, running source texts, the stack's bookkeeping, and the roots the
// collector starts from.
#include "engine/vm/interpreter.h"

#include "engine/compiler/compiler.h"
#include "engine/core/table_iterator.h"
#include "engine/lexer/source_reader.h"
#include "engine/lexer/token.h"
#include "engine/vm/path_resolver.h"
#include "engine/vm/within_memory.h"

namespace vellum {

namespace {

const PathResolver& DefaultPaths()
{
    static const PathResolver resolver;
    return resolver;
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

uint32_t Interpreter::RunSource(std::u16string_view text)
{
    uint32_t id = 0;
    Code code;
    // A source too large to compile ends as running out during a run does.
    WithinMemory(*this, [&] {
        id = KeepSourceText(std::u16string(text));
        Compiler::Compile(*this, sourceTexts[id], id, code, false);
    });
    if (ErrorPending()) return id;
    const StackState saved = SaveStack();
    if (!Execute(code, true) || ErrorPending()) RestoreStack(saved);
    return id;
}

void Interpreter::CompileSource(std::u16string_view text, std::u16string_view tokenFile)
{
    Code code;
    WithinMemory(*this, [&] {
        const uint32_t id = KeepSourceText(std::u16string(text));
        Compiler::Compile(*this, sourceTexts[id], id, code, false, tokenFile);
    });
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
    WithinMemory(*this, [&] { Compiler::Compile(*this, text, kNoSourceText, code, true); });
    if (ErrorPending()) {
        // A value nested too deeply to read is no mere text: its error stays,
        // so that data is not silently lost.
        if (ErrorIdentifier() != errOutOfMemory || saved.id != errOK) RestoreError(saved);
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
    if ((sp - stack) + cells <= kStackCells - 1) return true;
    RaiseError(errOutOfMemory);
    return false;
}

uint32_t Interpreter::KeepSourceText(std::u16string text, std::u16string file)
{
    sourceTexts.push_back(std::move(text));
    sourceFiles.push_back(std::move(file));
    return static_cast<uint32_t>(sourceTexts.size() - 1);
}

// --- objects -------------------------------------------------------------------

TableObject* Interpreter::NewTable(size_t inlineEntries)
{
    TableObject* table = TableObject::New(inlineEntries);
    collector.Adopt(table);
    return table;
}

FunctionObject* Interpreter::NewFunction() { return Make<FunctionObject>(); }

void Interpreter::SetPathResolver(const PathResolver* r) { paths = r != nullptr ? r : &DefaultPaths(); }

// --- collector -----------------------------------------------------------------------

void Interpreter::MarkRoots()
{
    collector.MarkObject(globals);
    collector.MarkObject(codeConstants);
    for (const Value& constant : compiledConstants) collector.MarkValue(constant);
    for (TableObject* prototype : prototypes) collector.MarkObject(prototype);
    collector.MarkObject(errorTable.LocaleTables());
    collector.MarkValue(parentKey);
    collector.MarkValue(pObjectKey);
    collector.MarkValue(defaultKey);
    for (const Value* cell = stack + 1; cell <= sp; ++cell) collector.MarkValue(*cell);
    for (const ValueRoot* root = roots; root != nullptr; root = root->below) collector.MarkValue(root->value);
    for (const Value& v : debuggerHeld) collector.MarkValue(v);
}

void Interpreter::Collect()
{
    if (collector.busy) return;
    collector.busy = true;
    try {
        MarkRoots();
        collector.Propagate();
    } catch (...) {
        // Marking that ran out of memory leaves no mark behind: the next
        // collection would take a marked object as already traced and free
        // what only it reaches.
        collector.ForgetMarks();
        collector.busy = false;
        throw;
    }
    collector.Sweep();
    collector.busy = false;
}

ValueRoot::ValueRoot(Interpreter& ip, const Value& v) : ip(ip), value(v), below(ip.roots)
{
    ip.roots = this;
}

} // namespace vellum
