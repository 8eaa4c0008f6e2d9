// One instance of the script engine and the binding API every native
// library uses.
//
// The interpreter owns the operand stack, the globals, the interned
// strings, the collector with every collectable object, the pending error
// and the message tables. Natives read their arguments in place on the
// operand stack: a call leaves, from the deepest cell, the function, `this`
// and the arguments; CheckArgs takes them off the stack and ArgValue(i)
// reads them where they lie until something is pushed. Script classes and
// native objects are declared through vm/class_binding.h; what the
// compiler and the loop share lives in vm/interpreter_internal.h.
#pragma once

#include "engine/core/collector.h"
#include "engine/core/function_object.h"
#include "engine/core/string_object.h"
#include "engine/core/table_object.h"
#include "engine/core/value.h"
#include "engine/error/error_ids.h"
#include "engine/error/error_table.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellum {

struct Code;
class ErrorReporter;
class InterpreterInternals;
class PathResolver;
class TableIterator;
class ValueRoot;

class Interpreter {
public:
    static constexpr int kStackCells = 1024;
    // Nested script executions allowed on the native stack.
    static constexpr int kMaxCallDepth = 200;
    static constexpr Value kNullValue{};

    using LibraryHook = void (*)(Interpreter& ip);

    // Makes the globals, the prototypes and the message tables; coreLibrary,
    // when given, registers itself at its place in the set-up.
    explicit Interpreter(LibraryHook coreLibrary = nullptr);
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;
    // Destroys every remaining object, including ones globals still reach.
    ~Interpreter();

    // --- running code -----------------------------------------------------
    // Compiles a whole text as statements and runs it; an error stays
    // pending. Gives the id the text is kept under, which error places name.
    uint32_t RunSource(std::u16string_view text);
    // Compiles a text and discards the code (syntax check); tokenFile, when
    // given, receives the token stream.
    void CompileSource(std::u16string_view text, std::u16string_view tokenFile = {});
    // Turns a text into a value: a leading number or boolean constant, a
    // table constructor evaluated, else the text itself as a string.
    Value EvalSource(std::u16string_view text);

    // --- registration -----------------------------------------------------
    void RegisterFunction(std::u16string_view name, NativeFunction function);
    void SetMethod(TableObject* table, std::u16string_view name, NativeFunction function);
    void SetGlobal(std::u16string_view name, TableObject* table);
    void SetGlobal(std::u16string_view name, const Value& value);
    Value GetGlobal(std::u16string_view name);
    // Asked with a name the globals table lacks whenever the compiler is
    // about to look it up as a global or declare it at top level: a program
    // that loads some libraries only once a script names them registers
    // them here, and the compiler then looks again.
    using MissingGlobalHook = std::function<void(Interpreter& ip, std::u16string_view name)>;
    void SetMissingGlobalHook(MissingGlobalHook hook) { missingGlobal = std::move(hook); }
    // Whether the global exists, after asking the hook about a missing one.
    bool HasGlobal(const Value& name);

    // --- objects ------------------------------------------------------------
    // A table with room for the first inlineEntries keys outside its array
    // in its own block (a constructor's fields).
    TableObject* NewTable(size_t inlineEntries = 0);
    FunctionObject* NewFunction();
    StringObject* Intern(std::u16string_view text) { return strings.Intern(text); }
    StringObject* Intern(Latin1View text) { return strings.Intern(text); }
    Value MakeString(std::u16string_view text) { return Value::String(Intern(text)); }
    Value MakeString(Latin1View text) { return Value::String(Intern(text)); }
    // A text longer than the longest string (LongestStringSetting) raises
    // errOutOfMemory and gives the empty string; so does the `&` operator
    // below, the unquoted texts of both values one after the other.
    StringObject* ToString(const Value& v, bool quoted = false, bool pretty = true);
    StringObject* Concatenate(const Value& a, const Value& b)
    {
        const Value both[] = {a, b};
        return Concatenate(both, 2);
    }
    // A chain of `&`: the unquoted texts of count values, in order.
    StringObject* Concatenate(const Value* values, size_t count);
    // Makes a native object owned by the collector.
    template <class T, class... Args>
    T* Make(Args&&... args)
    {
        T* object = new T(std::forward<Args>(args)...);
        collector.Adopt(object);
        return object;
    }

    // --- tables -------------------------------------------------------------
    // Lookup along the "parent" chain; a stored null continues to the parent.
    Value TableGet(TableObject* table, const Value& key)
    {
        const Value v = table->Get(key);
        return v.IsNull() ? TableGetInherited(table, key) : v;
    }
    Value TableGet(TableObject* table, std::u16string_view key) { return TableGet(table, MakeString(key)); }
    void TableSet(TableObject* table, std::u16string_view key, const Value& value)
    {
        table->Set(MakeString(key), value);
    }
    // The field as a table, or null when it is not one.
    TableObject* GetTableField(TableObject* table, std::u16string_view name);
    // The field, or the result of calling it with this = table when it is a function.
    Value GetProperty(TableObject* table, const Value& key);
    Value GetProperty(TableObject* table, std::u16string_view key) { return GetProperty(table, MakeString(key)); }
    TableObject* TypePrototype(Tag tag) const
    {
        const auto i = static_cast<size_t>(tag);
        return i < std::size(prototypes) ? prototypes[i] : nullptr;
    }

    // --- native calls ---------------------------------------------------------
    // Takes the call off the stack; false (with errFewArguments or
    // errManyArguments) unless the argument count lies in [min, max];
    // max -1 means exactly min.
    bool CheckArgs(int min, int max);
    // Argument i after CheckArgs: 0 is `this`, 1 the first argument.
    const Value& ArgValue(int i) const { return i < argCount ? sp[2 + i] : kNullValue; }
    double ArgNumber(int i);
    uint32_t ArgBool(int i);
    TableObject* ArgTable(int i);
    // The argument as the unquoted text natives take strings as.
    StringObject* ArgText(int i) { return ToString(ArgValue(i), false, true); }
    int ArgCount() const { return argCount; }

    void PushValue(const Value& v);
    void PushString(std::u16string_view text) { PushValue(MakeString(text)); }
    void PushString(Latin1View text) { PushValue(MakeString(text)); }
    void PushNumber(double d) { PushValue(Value::Number(d)); }
    void PushBool(bool b) { PushValue(Value::Bool(b)); }
    bool PopBool();
    // A number truncated toward zero (saturating); false for any other value.
    static bool ValueToInt(const Value& v, int32_t& out);

    // Script callbacks. Both leave the stack as they found it and give null
    // when the call fails or is stopped by Die.
    Value CallFunction(const Value& thisValue, const Value& function, std::initializer_list<Value> args = {});
    Value CallMethod(TableObject* table, std::u16string_view key, std::initializer_list<Value> args = {});

    // --- errors -------------------------------------------------------------
    bool ErrorPending() const { return errorId != errOK; }
    // Only the first error is kept; arguments are cut to 511 units.
    void RaiseError(ErrorId id, std::u16string_view arg1 = {}, std::u16string_view arg2 = {});
    // Like RaiseError, with the place of the offending source text.
    void RaiseErrorAt(ErrorId id, SourcePlace place, std::u16string_view arg1 = {}, std::u16string_view arg2 = {});
    void ClearError();
    ErrorId ErrorIdentifier() const { return errorId; }
    // The error's offset in the text it came from, -1 when unknown.
    int32_t ErrorPosition() const { return errorPlace.position; }
    // The error's offset and the id of the text it lies in (RunSource gives
    // the id of the text it runs; included files have ids of their own).
    SourcePlace ErrorPlace() const { return errorPlace; }
    // The error's line and column in the text it came from, when known.
    std::optional<TextLocation> ErrorLocation() const;
    // The device path of the included file a kept text was read from;
    // empty for a text handed to the interpreter.
    std::u16string_view SourceFile(uint32_t textId) const;
    const std::u16string& ErrorArg1() const { return errorArg1; }
    const std::u16string& ErrorArg2() const { return errorArg2; }
    // The pending error's message in the current locale.
    std::u16string FormatError();
    // Shows a pending error through the reporter and clears it.
    void ReportError();

    struct ErrorState {
        ErrorId id;
        std::u16string arg1, arg2;
        SourcePlace place;
    };
    ErrorState SaveError() const { return {errorId, errorArg1, errorArg2, errorPlace}; }
    void RestoreError(const ErrorState& state);

    ErrorTable& Messages() { return errorTable; }

    // --- host hooks -----------------------------------------------------------
    void SetReporter(ErrorReporter* r) { reporter = r; }
    ErrorReporter* Reporter() const { return reporter; }
    void SetPathResolver(const PathResolver* r);
    const PathResolver& Paths() const { return *paths; }

    // --- collector ----------------------------------------------------------
    void Collect();
    // While switched off, running code makes objects without collecting;
    // Collect still collects.
    void SetCollectorEnabled(bool on) { gcEnabled = on; }
    bool CollectorEnabled() const { return gcEnabled; }
    int32_t NewObjectsNum() const { return collector.newSinceCollect; }
    int32_t ObjectCount() const { return collector.objectCount; }

    // --- step limit -----------------------------------------------------------
    // Fuzzing builds (VELLUM_FUZZING) end a run with errOutOfMemory after
    // this many loop turns and function entries, or at the first of them
    // after `time` has passed, so that generated scripts which never stop
    // still end, and so do loops that stay within the steps but repeat a
    // costly operation on a huge string. A negative limit, the default, is
    // none; so is a zero time. Other builds do not count, so that loops pay
    // nothing for it.
    void SetStepLimit(int64_t steps, std::chrono::milliseconds time = {})
    {
        stepsLeft = steps;
        stepDeadline = time.count() > 0 ? std::chrono::steady_clock::now() + time
                                        : std::chrono::steady_clock::time_point{};
    }

private:
    StringObject* TooLong();
    friend class ValueRoot;
    friend class InterpreterInternals;
    friend class Debugger;
    friend class DebugHooks;
    friend class DebugStop;

    // Runs bytecode until END or RET (true) or a pending error (false).
    // An execution started from native code ends a quiet Die by clearing it.
    bool Execute(Code& code, bool fromNative);
    // The loop Execute runs; it lets an allocation failure through.
    bool RunCode(Code& code, bool fromNative);
    // Calls the function lying below its argc cells (this included) and
    // leaves the result in the function's cell; false when it stopped on an error.
    bool CallValue(int argc, bool fromNative = false);
    uint32_t KeepSourceText(std::u16string text, std::u16string file = {});

    struct StackState {
        Value* sp;
        Value* fp;
        uint16_t argCount;
    };
    StackState SaveStack() const;
    // Puts the stack back after a failed or stopped run.
    void RestoreStack(const StackState& state);

    void SetUp(LibraryHook coreLibrary);
    // TableGet after the table itself had nothing: along the "parent" chain.
    Value TableGetInherited(TableObject* table, const Value& key);
    void MarkRoots();
    // Raises errOutOfMemory unless cells more cells fit on the stack.
    bool CheckStack(int cells);
    void ReleaseIteratorsAbove(const Value* top);
    // One step of a for-in loop.
    void ForInStep();
    // Builds a script function's frame over its arguments; false on overflow.
    // Inlined into the loop's calls, which it is most of the cost of.
    [[gnu::always_inline]] inline bool EnterFunction(FunctionObject* f, int argc);
    // Counts one step against the step limit; false (with errOutOfMemory)
    // when none is left.
    bool TakeStep();
    // At the instruction an interrupt diverted (engine/vm/interrupt.h), the
    // one at `at` in code with the running function's frame: runs the poll
    // hook, then shows the instruction to an attached debugger; true (with
    // errStopped) when the run is stopped. The loop's one check for both.
    [[gnu::noinline]] bool TakeInterrupt(Code& code, size_t at, Value* frame);

    // Where a call made inside Execute returns to: a script function's, or
    // a native's (which a debugger's call stack names). Each record goes
    // with a level of callDepth, and a native's record is made before its
    // call is counted, so one more than kMaxCallDepth records are room
    // enough and a call never has to grow the list.
    enum class CallKind : uint8_t {
        Function,
        // A method call leaves its result in the object's cell.
        Method,
        // A native's, whose function is in callNatives at the same index.
        Native,
    };
    // 32 bytes: the loop makes one per call and reads it back at the return.
    struct CallRecord {
        uint8_t* returnPc;
        Code* code;
        Value* frame;
        uint16_t argCount;
        CallKind kind;
    };
    CallRecord calls[kMaxCallDepth + 1];
    size_t callCount = 0;
    // A field read whose cache missed, or whose field is null in the table
    // itself: finds the entry, caches it, and reads along the "parent" chain
    // when the table has none or a null.
    // Out of line, so that the loop keeps only the cached read.
    [[gnu::noinline]] Value ReadFieldSlowly(TableObject* table, uint8_t* operand);
    // Puts a native's call on the call stack a debugger shows, for as long
    // as it runs; out of line, as only runs under a debugger make them.
    [[gnu::cold, gnu::noinline]] void RecordNativeCall(uint8_t* pc, Code* code, Value* frame, NativeFunction native);

    // The operand stack grows upward from stack[0], which is never written:
    // sp designates the top cell in use, stack[0] when the stack is empty.
    Value stack[kStackCells];
    Value* sp = stack;
    Value* fp = stack;
    uint16_t argCount = 0;
    int callDepth = 0;

    ErrorId errorId = errOK;
    std::u16string errorArg1, errorArg2;
    SourcePlace errorPlace;
    // A deque, so that views of kept texts stay valid as more are kept.
    std::deque<std::u16string> sourceTexts;
    // Where Concatenate builds its result, narrow when every piece is:
    // kept between calls, so that a loop growing a long text does not
    // allocate and free a buffer each time.
    std::u8string narrowConcatBuffer;
    std::u16string concatBuffer;
    // The longest string this interpreter makes.
    const size_t longestString = LongestStringSetting();

    Collector collector;
    StringTable strings{collector};
    TableObject* globals = nullptr;
    MissingGlobalHook missingGlobal;
    TableObject* codeConstants = nullptr;
    std::vector<Value> compiledConstants;
    TableObject* prototypes[9] = {};
    Value parentKey;
    // Where the last inherited lookup found "parent" in a table's entries.
    int32_t parentEntryGuess = -1;
    Value pObjectKey;
    Value defaultKey;
    ErrorTable errorTable;

    // Iterators of the for-in loops running now, innermost last, with the
    // stack cell each loop keeps it in; a loop abandoned by a return or an
    // error releases its iterator when the stack drops below that cell.
    std::vector<std::pair<const Value*, std::unique_ptr<TableIterator>>> iterators;
    ValueRoot* roots = nullptr;
    bool gcEnabled = true;
    int64_t stepsLeft = -1;
    std::chrono::steady_clock::time_point stepDeadline;

    ErrorReporter* reporter = nullptr;
    const PathResolver* paths = nullptr;
    // The file each kept text came from, in the order of sourceTexts.
    std::vector<std::u16string> sourceFiles;

    // What only a debugger uses lies last, away from what the loop uses.
    // The native of each native's call record, at the record's index.
    NativeFunction callNatives[kMaxCallDepth + 1] = {};
    // What a stopped debugger shows keeps living while it shows it.
    std::vector<Value> debuggerHeld;
    // The pending error has been shown to a debugger.
    bool errorSeenByDebugger = false;
};

// Keeps a value alive while native code holds it across calls that may
// run script code (and so collect).
class ValueRoot {
public:
    // Out of line: inlined, GCC takes the root list keeping this object's
    // address for a dangling pointer, though the destructor always unlinks it.
    ValueRoot(Interpreter& ip, const Value& v);
    ValueRoot(const ValueRoot&) = delete;
    ValueRoot& operator=(const ValueRoot&) = delete;
    ~ValueRoot() { ip.roots = below; }

    Interpreter& ip;
    Value value;
    ValueRoot* below;
};

} // namespace vellum
