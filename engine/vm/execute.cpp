// The interpreter loop. Script functions run in nested Execute calls, one
// per active function; natives run inside CallValue.
//
// Dispatch is threaded (each instruction jumps straight to the next one's
// handler) and the stack top lives in a local while the loop runs; it is
// written back to the interpreter before anything that looks at it (calls,
// the collector, errors). Only instructions that can fail check for a
// pending error, and only instructions that can make objects (or run
// natives, which can switch the collector on) let the collector step:
// elsewhere nothing can have changed either, so this is the same as
// checking after every instruction.
#include "engine/compiler/opcodes.h"
#include "engine/core/table_iterator.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/within_memory.h"
#include "engine/vm/interrupt.h"
#include "engine/debug/debug_hooks.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>

namespace vellum {

namespace {

inline uint16_t ReadU16(const uint8_t* pc) { return static_cast<uint16_t>(pc[0] | (pc[1] << 8)); }

inline int32_t ReadI32(const uint8_t* pc)
{
    int32_t v;
    std::memcpy(&v, pc, 4);
    return v;
}

inline Value ReadValue(const uint8_t* pc) { return LoadValueImage(pc); }

inline int32_t ReadCache(const uint8_t* operand)
{
    int32_t v;
    std::memcpy(&v, operand + kCacheOffset, 4);
    return v - 1;
}

inline void WriteCache(uint8_t* operand, int32_t index)
{
    const int32_t v = index + 1;
    std::memcpy(operand + kCacheOffset, &v, 4);
}

const char16_t* ComparisonText(uint8_t op)
{
    switch (op) {
    case OP_LT:
        return u"<";
    case OP_GT:
        return u">";
    case OP_LE:
        return u"<=";
    default:
        return u">=";
    }
}

// LT, GT, LE and GE on two values; raises the type error for different tags.
inline bool Compare(Interpreter& ip, uint8_t op, const Value& a, const Value& b)
{
    if (a.tag == Tag::Num && b.tag == Tag::Num) {
        switch (op) {
        case OP_LT:
            return a.num < b.num;
        case OP_GT:
            return a.num > b.num;
        case OP_LE:
            return !(a.num > b.num);
        default:
            return !(a.num < b.num);
        }
    }
    if (a.tag != b.tag) ip.RaiseError(errComparisonDifferentTypes, ComparisonText(op));
    switch (op) {
    case OP_LT:
        return ValueLess(a, b);
    case OP_GT:
        return ValueGreater(a, b);
    case OP_LE:
        return !ValueGreater(a, b);
    default:
        return !ValueLess(a, b);
    }
}

// The loop dispatches through `dispatch`: the instructions' own handlers
// (`regular`), or all of them the interrupt handler while an interrupt is
// asked for. Relaxed loads of the entries are plain loads.
std::atomic<void*> dispatch[256];
void* regular[256];
// The interrupt handler's address, once the loop has made its tables.
std::atomic<void*> interruptHandler{nullptr};

constexpr unsigned kPollFlag = 1;
constexpr unsigned kStopFlag = 2;
// A debugger looks at every instruction: the table stays diverted.
constexpr unsigned kDebugFlag = 4;
std::atomic<unsigned> interruptFlags{0};
static_assert(std::atomic<unsigned>::is_always_lock_free && std::atomic<void*>::is_always_lock_free,
              "interrupts are asked for from signal handlers");

InterruptHook interruptHook = nullptr;
void* interruptContext = nullptr;

[[gnu::cold, gnu::noinline]] void DivertDispatch()
{
    void* const handler = interruptHandler.load(std::memory_order_relaxed);
    // Before the first run the tables are made diverted when a flag is up.
    if (handler == nullptr) return;
    for (std::atomic<void*>& entry : dispatch) entry.store(handler, std::memory_order_relaxed);
}

[[gnu::cold, gnu::noinline]] void RestoreDispatch()
{
    for (size_t i = 0; i < std::size(dispatch); ++i) dispatch[i].store(regular[i], std::memory_order_relaxed);
}

} // namespace

void SetInterruptHook(InterruptHook hook, void* context)
{
    interruptHook = hook;
    interruptContext = context;
}

void RequestPoll()
{
    interruptFlags.fetch_or(kPollFlag);
    DivertDispatch();
}

void RequestStop()
{
    interruptFlags.fetch_or(kStopFlag);
    DivertDispatch();
}

// The table is put back by the next instruction's interrupt handler.
void ClearStop() { interruptFlags.fetch_and(~kStopFlag); }

bool StopRequested() { return (interruptFlags.load() & kStopFlag) != 0; }

void DivertForDebugger(bool on)
{
    if (on) {
        interruptFlags.fetch_or(kDebugFlag);
        DivertDispatch();
    } else {
        // The next instruction's interrupt handler puts the table back.
        interruptFlags.fetch_and(~kDebugFlag);
    }
}

bool Interpreter::TakeInterrupt(Code& code, size_t at, Value* frame)
{
    // Put back first: a request made from now on diverts the table again.
    if ((interruptFlags.load(std::memory_order_relaxed) & kDebugFlag) == 0) RestoreDispatch();
    if ((interruptFlags.load() & kPollFlag) != 0) {
        interruptFlags.fetch_and(~kPollFlag);
        if (interruptHook != nullptr) interruptHook(interruptContext);
    }
    if (StopRequested()) {
        // A stop stays until the run's starter clears it, so that the callers
        // of a nested run stop as well.
        DivertDispatch();
        RaiseError(errStopped);
        return true;
    }
    return DebugHooks::Attached() && DebugHooks::BeforeInstruction(*this, code, at, frame);
}

Value Interpreter::ReadFieldSlowly(TableObject* table, uint8_t* operand)
{
    const Value key = ReadValue(operand);
    const int32_t found = table->EntryIndexOf(key);
    if (found >= 0) {
        WriteCache(operand, found);
        if (!table->EntryValue(found).IsNull()) return table->EntryValue(found);
    }
    return TableGetInherited(table, key);
}

void Interpreter::RecordNativeCall(uint8_t* pc, Code* code, Value* frame, NativeFunction native)
{
    callNatives[callCount] = native;
    calls[callCount++] = CallRecord{pc, code, frame, argCount, CallKind::Native};
}

inline bool Interpreter::EnterFunction(FunctionObject* f, int argc)
{
#ifdef VELLUM_FUZZING
    if (!TakeStep()) return false;
#endif
    if (callDepth >= kMaxCallDepth) {
        RaiseError(errOutOfMemory);
        return false;
    }
    Value* const base = sp - argc;
    // `this` and the declared parameters stay; further arguments are dropped,
    // and missing parameters and the body's locals start as null.
    sp = base + std::min(argc, f->parameterCount + 1);
    const int missing = static_cast<int>(f->slotCount.num) - static_cast<int>(sp - base);
    if ((sp - stack) + missing + 2 > kStackCells - 1) {
        RaiseError(errOutOfMemory);
        return false;
    }
    for (int i = 0; i < missing; ++i) StoreCell(*++sp, Tag::Null, 0);
    // The frame keeps the caller's fp and argument count above the locals.
    StoreCell(*++sp, Tag::Null, reinterpret_cast<uintptr_t>(fp));
    StoreNumber(*++sp, argCount);
    argCount = static_cast<uint16_t>(argc);
    fp = base + 1;
    ++callDepth;
    return true;
}

bool Interpreter::Execute(Code& code, bool fromNative)
{
    const size_t outerCalls = callCount;
    const int outerDepth = callDepth;
    bool finished = false;
    if (WithinMemory(*this, [&] { finished = RunCode(code, fromNative); })) return finished;
    // The frames this run entered are abandoned, as after any error.
    callCount = outerCalls;
    callDepth = outerDepth;
    return false;
}

bool Interpreter::RunCode(Code& code, bool fromNative)
{
    // Every instruction's handler comes from the instruction list; bytes
    // past the last opcode do nothing.
    if (interruptHandler.load(std::memory_order_relaxed) == nullptr) {
        for (void*& h : regular) h = &&op_nop;
#define INSTRUCTION(name, operands, handler) regular[OP_##name] = &&handler;
#include "engine/compiler/instructions.def"
#undef INSTRUCTION
        RestoreDispatch();
        interruptHandler.store(&&op_interrupt, std::memory_order_relaxed);
        if (interruptFlags.load() != 0) DivertDispatch();
    }
    // A script entry reached while an error is pending runs nothing, so a
    // handler called after an error cannot repeat a native's effect; the
    // error stays for whoever started the outermost run.
    if (errorId != errOK) return false;

    // Script functions called from here run in this same loop: a call
    // saves where to come back in a call record and switches code.
    Code* current = &code;
    uint8_t* start = code.bytes.data();
    uint8_t* pc = start;
    const uint8_t* instruction = pc;
    Value* top = sp;
    Value* frame = fp;
    Value* const limit = stack + kStackCells - 1;
    const size_t outerCalls = callCount;
    FunctionObject* callee = nullptr;

#define NEXT()                                                                                                         \
    do {                                                                                                               \
        instruction = pc;                                                                                              \
        goto* dispatch[*pc++].load(std::memory_order_relaxed);                                                         \
    } while (0)
#define FAIL(...)                                                                                                      \
    do {                                                                                                               \
        sp = top;                                                                                                      \
        RaiseError(__VA_ARGS__);                                                                                       \
        goto failed;                                                                                                   \
    } while (0)
#define PUSH_ROOM()                                                                                                    \
    do {                                                                                                               \
        if (top >= limit) FAIL(errOutOfMemory);                                                                        \
    } while (0)
// After an instruction that may have made objects or run native code.
#define SETTLE()                                                                                                       \
    do {                                                                                                               \
        if (errorId != errOK) goto failed;                                                                             \
        if (gcEnabled && collector.Due()) Collect();                                                                   \
        top = sp;                                                                                                      \
    } while (0)

    // Reads the global named by the value image at operand into result,
    // through the image's cache.
#define READ_GLOBAL(operand, result)                                                                                   \
    do {                                                                                                               \
        const Value name = ReadValue(operand);                                                                         \
        int32_t cached = ReadCache(operand);                                                                           \
        if (!globals->EntryHasKey(cached, name)) {                                                                     \
            cached = globals->EntryIndexOf(name);                                                                      \
            WriteCache(operand, cached);                                                                               \
        }                                                                                                              \
        result = cached >= 0 ? globals->EntryValue(cached) : Value::Null();                                            \
    } while (0)
    // Reads the field of table named by the value image at operand into
    // result, through the image's cache; a missing or null field continues
    // along the "parent" chain.
#define READ_CACHED_FIELD(table, operand, result)                                                                      \
    do {                                                                                                               \
        const int32_t cached = ReadCache(operand);                                                                     \
        if ((table)->EntryHasKey(cached, ReadValue(operand)) && !(table)->EntryValue(cached).IsNull()) {               \
            CopyCell(result, (table)->EntryValue(cached));                                                             \
        } else {                                                                                                       \
            result = ReadFieldSlowly(table, operand);                                                                  \
        }                                                                                                              \
    } while (0)

    NEXT();

op_nop:
    NEXT();
op_end:
    sp = top;
    return true;
op_pushk:
    PUSH_ROOM();
    std::memcpy(static_cast<void*>(++top), pc, sizeof(Value));
    pc += sizeof(Value);
    NEXT();
op_eq : {
    const bool equal = KeysEqual(top[-1], top[0]);
    StoreBool(*--top, equal);
    NEXT();
}
op_ne : {
    const bool equal = KeysEqual(top[-1], top[0]);
    StoreBool(*--top, !equal);
    NEXT();
}
op_compare : {
    sp = top;
    const bool result = Compare(*this, *instruction, top[-1], top[0]);
    if (errorId != errOK) goto failed;
    StoreBool(*--top, result);
    NEXT();
}
    // Conditional jumps: the J forms go forward when their test is false,
    // the LOOP forms back to a loop's body when it is true (a step each,
    // where steps are counted).
#ifdef VELLUM_FUZZING
#define COUNT_STEP()                                                                                                   \
    do {                                                                                                               \
        if (!TakeStep()) {                                                                                             \
            sp = top;                                                                                                  \
            goto failed;                                                                                               \
        }                                                                                                              \
    } while (0)
#else
#define COUNT_STEP()                                                                                                   \
    do {                                                                                                               \
    } while (0)
#endif
#define JUMP_IF(test, loop)                                                                                            \
    do {                                                                                                               \
        if ((test) == (loop)) {                                                                                        \
            if (loop) COUNT_STEP();                                                                                    \
            pc += 4 + ReadI32(pc);                                                                                     \
        } else {                                                                                                       \
            pc += 4;                                                                                                   \
        }                                                                                                              \
    } while (0)
    // Equality of the two values on top, or of the value on top and a
    // constant or a local named by the operand (skip bytes long); the test
    // is that they are equal (tested true) or that they differ.
#define EQUAL_JUMP(label, tested, loop, left, right, popped, skip)                                                     \
    label : {                                                                                                          \
        const bool equal = KeysEqual(left, right);                                                                     \
        top -= popped;                                                                                                 \
        pc += skip;                                                                                                    \
        JUMP_IF(equal == (tested), loop);                                                                              \
        NEXT();                                                                                                        \
    }
    EQUAL_JUMP(op_jeq, true, false, top[-1], top[0], 2, 0)
    EQUAL_JUMP(op_jne, false, false, top[-1], top[0], 2, 0)
    EQUAL_JUMP(op_jeqk, true, false, top[0], ReadValue(pc), 1, sizeof(Value))
    EQUAL_JUMP(op_jnek, false, false, top[0], ReadValue(pc), 1, sizeof(Value))
    EQUAL_JUMP(op_loopeq, true, true, top[-1], top[0], 2, 0)
    EQUAL_JUMP(op_loopne, false, true, top[-1], top[0], 2, 0)
    EQUAL_JUMP(op_loopeqk, true, true, top[0], ReadValue(pc), 1, sizeof(Value))
    EQUAL_JUMP(op_loopnek, false, true, top[0], ReadValue(pc), 1, sizeof(Value))
    EQUAL_JUMP(op_jeql, true, false, top[0], frame[ReadU16(pc)], 1, 2)
    EQUAL_JUMP(op_jnel, false, false, top[0], frame[ReadU16(pc)], 1, 2)
    EQUAL_JUMP(op_loopeql, true, true, top[0], frame[ReadU16(pc)], 1, 2)
    EQUAL_JUMP(op_loopnel, false, true, top[0], frame[ReadU16(pc)], 1, 2)
#undef EQUAL_JUMP
    // The order comparisons; numbers take the short way.
#define ORDER_JUMP(label, op, test, loop, left, right, popped, skip)                                                   \
    label : {                                                                                                          \
        const Value& l = left;                                                                                         \
        const Value r = right;                                                                                         \
        bool result;                                                                                                   \
        if (l.tag == Tag::Num && r.tag == Tag::Num) {                                                                  \
            const double a = l.num, b = r.num;                                                                         \
            result = test;                                                                                             \
        } else {                                                                                                       \
            sp = top;                                                                                                  \
            result = Compare(*this, op, l, r);                                                                         \
            if (errorId != errOK) goto failed;                                                                         \
        }                                                                                                              \
        top -= popped;                                                                                                 \
        pc += skip;                                                                                                    \
        JUMP_IF(result, loop);                                                                                         \
        NEXT();                                                                                                        \
    }
#define ORDER_JUMPS(suffix, op, test)                                                                                  \
    ORDER_JUMP(op_j##suffix, op, test, false, top[-1], top[0], 2, 0)                                                   \
    ORDER_JUMP(op_j##suffix##k, op, test, false, top[0], ReadValue(pc), 1, sizeof(Value))                              \
    ORDER_JUMP(op_loop##suffix, op, test, true, top[-1], top[0], 2, 0)                                                 \
    ORDER_JUMP(op_loop##suffix##k, op, test, true, top[0], ReadValue(pc), 1, sizeof(Value))                            \
    ORDER_JUMP(op_j##suffix##l, op, test, false, top[0], frame[ReadU16(pc)], 1, 2)                                     \
    ORDER_JUMP(op_loop##suffix##l, op, test, true, top[0], frame[ReadU16(pc)], 1, 2)
    ORDER_JUMPS(lt, OP_LT, a < b)
    ORDER_JUMPS(gt, OP_GT, a > b)
    ORDER_JUMPS(le, OP_LE, !(a > b))
    ORDER_JUMPS(ge, OP_GE, !(a < b))
#undef ORDER_JUMPS
#undef ORDER_JUMP
op_and : {
    const bool result = top[-1].IsTrue() && top[0].IsTrue();
    StoreBool(*--top, result);
    NEXT();
}
op_or : {
    const bool result = top[-1].IsTrue() || top[0].IsTrue();
    StoreBool(*--top, result);
    NEXT();
}
op_neg:
    if (top->tag != Tag::Num) FAIL(errNumberExpected);
    StoreNumber(*top, -top->num);
    NEXT();
#define ARITHMETIC(label, operator_)                                                                                   \
    label:                                                                                                             \
    if (top[-1].tag != Tag::Num || top[0].tag != Tag::Num) FAIL(errNumberExpected);                                   \
    StoreNumber(top[-1], top[-1].num operator_ top[0].num);                                                           \
    --top;                                                                                                             \
    NEXT();
    ARITHMETIC(op_add, +)
    ARITHMETIC(op_sub, -)
    ARITHMETIC(op_mul, *)
    ARITHMETIC(op_div, /)
#undef ARITHMETIC
op_addk:
op_subk : {
    if (top->tag != Tag::Num) FAIL(errNumberExpected);
    double k;
    std::memcpy(&k, pc + 8, sizeof k);
    StoreNumber(*top, *instruction == OP_ADDK ? top->num + k : top->num - k);
    pc += sizeof(Value);
    NEXT();
}
    // x = x + k on the slot and number after the opcode, the sum kept in a.
#define INCREMENT_LOCAL(a)                                                                                             \
    Value& x = frame[ReadU16(pc)];                                                                                     \
    if (x.tag != Tag::Num) FAIL(errNumberExpected);                                                                   \
    double k;                                                                                                          \
    std::memcpy(&k, pc + 2 + 8, sizeof k);                                                                             \
    const double a = x.num + k;                                                                                        \
    StoreNumber(x, a);                                                                                                 \
    pc += 2 + sizeof(Value)
op_inclocal : {
    INCREMENT_LOCAL(sum);
    NEXT();
}
    // x = x + k, then x against the local or constant that the test after
    // it loads, jumping back while the test holds; the test's operands
    // follow its load (skip bytes in).
#define INCREMENT_TEST(label, test, skip, rightOf)                                                                     \
    label : {                                                                                                          \
        INCREMENT_LOCAL(a);                                                                                            \
        const Value right = rightOf;                                                                                   \
        if (right.tag != Tag::Num) NEXT();                                                                             \
        const double b = right.num;                                                                                    \
        pc += skip;                                                                                                    \
        JUMP_IF(test, true);                                                                                           \
        NEXT();                                                                                                        \
    }
#define INCREMENT_TESTS(suffix, test)                                                                                  \
    INCREMENT_TEST(op_inc##suffix##l, test, 6, frame[ReadU16(pc + 3)])                                                 \
    INCREMENT_TEST(op_inc##suffix##k, test, 4 + sizeof(Value), ReadValue(pc + 4))
    INCREMENT_TESTS(lt, a < b)
    INCREMENT_TESTS(gt, a > b)
    INCREMENT_TESTS(le, !(a > b))
    INCREMENT_TESTS(ge, !(a < b))
#undef INCREMENT_TESTS
#undef INCREMENT_TEST
#undef INCREMENT_LOCAL
op_localaddk : {
    PUSH_ROOM();
    const Value& x = frame[ReadU16(pc)];
    if (x.tag != Tag::Num) FAIL(errNumberExpected);
    double k;
    std::memcpy(&k, pc + 2 + 8, sizeof k);
    StoreNumber(top[1], x.num + k);
    ++top;
    pc += 2 + sizeof(Value);
    NEXT();
}
    // Arithmetic on two slots straight into a third.
#define SLOT_ARITHMETIC(label, operator_)                                                                              \
    label : {                                                                                                          \
        const Value& a = frame[ReadU16(pc)];                                                                           \
        const Value& b = frame[ReadU16(pc + 2)];                                                                       \
        if (a.tag != Tag::Num || b.tag != Tag::Num) FAIL(errNumberExpected);                                          \
        StoreNumber(frame[ReadU16(pc + 4)], a.num operator_ b.num);                                                    \
        pc += 6;                                                                                                       \
        NEXT();                                                                                                        \
    }
    SLOT_ARITHMETIC(op_ladd, +)
    SLOT_ARITHMETIC(op_lsub, -)
    SLOT_ARITHMETIC(op_lmul, *)
    SLOT_ARITHMETIC(op_ldiv, /)
#undef SLOT_ARITHMETIC
op_addsl:
op_subsl : {
    if (top[-1].tag != Tag::Num || top[0].tag != Tag::Num) FAIL(errNumberExpected);
    const double result = *instruction == OP_ADDSL ? top[-1].num + top[0].num : top[-1].num - top[0].num;
    StoreNumber(frame[ReadU16(pc)], result);
    top -= 2;
    pc += 2;
    NEXT();
}
op_concat : {
    sp = top;
    StoreCell(top[-1], Tag::Str, reinterpret_cast<uintptr_t>(Concatenate(top[-1], top[0])));
    sp = top - 1;
    SETTLE();
    NEXT();
}
op_concatn : {
    const int n = ReadU16(pc);
    pc += 2;
    sp = top;
    Value* first = top - (n - 1);
    StoreCell(*first, Tag::Str, reinterpret_cast<uintptr_t>(Concatenate(first, static_cast<size_t>(n))));
    sp = first;
    SETTLE();
    NEXT();
}
op_jmp:
    if (ReadI32(pc) < 0) COUNT_STEP();
    pc += 4 + ReadI32(pc);
    NEXT();
op_jmpf:
    if (top->tag != Tag::Bool) FAIL(errBoolExpected);
    JUMP_IF((top--)->word != 0, false);
    NEXT();
op_loopt:
    if (top->tag != Tag::Bool) FAIL(errBoolExpected);
    JUMP_IF((top--)->word != 0, true);
    NEXT();
    // t[k] against the local that the test after it names (its slot comes
    // after this instruction's two and the test's opcode).
#define INDEX_TEST(label, test, loop)                                                                                      label : {                                                                                                                  const Value& t = frame[ReadU16(pc)];                                                                                   const Value& right = frame[ReadU16(pc + 5)];                                                                           if (t.IsTable() && right.tag == Tag::Num) {                                                                                const Value* left = t.table->InArray(frame[ReadU16(pc + 2)]);                                                          if (left != nullptr && left->tag == Tag::Num) {                                                                            const double a = left->num, b = right.num;                                                                             pc += 7;                                                                                                               JUMP_IF(test, loop);                                                                                                   NEXT();                                                                                                            }                                                                                                                  }                                                                                                                      goto op_localindex;                                                                                                }
    INDEX_TEST(op_indexjltl, a < b, false)
    INDEX_TEST(op_indexjgtl, a > b, false)
    INDEX_TEST(op_indexjlel, !(a > b), false)
    INDEX_TEST(op_indexjgel, !(a < b), false)
    INDEX_TEST(op_indexloopltl, a < b, true)
    INDEX_TEST(op_indexloopgtl, a > b, true)
    INDEX_TEST(op_indexlooplel, !(a > b), true)
    INDEX_TEST(op_indexloopgel, !(a < b), true)
#undef INDEX_TEST
op_forin: {
    // A step of an iteration under way into locals (the key's may be left
    // out) takes the short way, and with it the loop's jump that follows
    // (into the body or past it at first, back to the body after it),
    // without the flag that jump would pop. The first step, globals and
    // the errors go through ForInStep.
    Value* const place = top - 3;
    const uint8_t follow = *pc;
    if (place->tag == Tag::Binary && (top[-2].IsNum() || top[-2].IsNull()) && top[-1].IsNum() &&
        (follow == OP_LOOPT || follow == OP_JMPF)) {
        Value key, value;
        const bool more = static_cast<TableIterator*>(place->binary)->Next(key, value);
        if (more) {
            if (top[-2].IsNum()) frame[static_cast<int>(top[-2].num)] = key;
            frame[static_cast<int>(top[-1].num)] = value;
        } else {
            iterators.pop_back();
            top = place - 1;
        }
        ++pc;
        JUMP_IF(more, follow == OP_LOOPT);
        NEXT();
    }
    sp = top;
    ForInStep();
    SETTLE();
    NEXT();
}
#undef JUMP_IF
#undef COUNT_STEP
op_setglobal : {
    const Value name = ReadValue(pc);
    const int32_t cached = ReadCache(pc);
    if (globals->EntryHasKey(cached, name)) {
        CopyCell(globals->EntryValue(cached), *top);
    } else {
        globals->Set(name, *top);
        WriteCache(pc, globals->EntryIndexOf(name));
    }
    --top;
    pc += sizeof(Value);
    NEXT();
}
op_getglobal : {
    PUSH_ROOM();
    ++top;
    READ_GLOBAL(pc, *top);
    pc += sizeof(Value);
    NEXT();
}
op_getcallee : {
    if (top + 1 >= limit) FAIL(errOutOfMemory);
    READ_GLOBAL(pc, top[1]);
    StoreCell(top[2], Tag::Null, 0);
    top += 2;
    pc += sizeof(Value);
    NEXT();
}
op_setlocal:
    frame[ReadU16(pc)] = *top--;
    pc += 2;
    NEXT();
op_getlocal:
    PUSH_ROOM();
    top[1] = frame[ReadU16(pc)];
    ++top;
    pc += 2;
    NEXT();
op_getlocal2:
    if (top + 1 >= limit) FAIL(errOutOfMemory);
    top[1] = frame[ReadU16(pc)];
    top[2] = frame[ReadU16(pc + 2)];
    top += 2;
    pc += 4;
    NEXT();
    // Calls the value in the function cell with the n cells above it (this
    // and the arguments); its result replaces the function cell.
#define INVOKE(function, n)                                                                                            \
    do {                                                                                                               \
        if (!(function)->IsCallable()) FAIL(errFunctionCallToNonFunction);                                            \
        sp = top;                                                                                                      \
        if ((function)->tag == Tag::Func) {                                                                            \
            const CallRecord record{pc, current, frame, argCount, CallKind::Function};                                 \
            callee = (function)->func;                                                                                 \
            if (!EnterFunction(callee, n)) goto failed;                                                                \
            calls[callCount++] = record;                                                                               \
            goto entered;                                                                                              \
        }                                                                                                              \
        const bool recorded = DebugHooks::Attached();                                                                  \
        if (recorded) RecordNativeCall(pc, current, frame, (function)->native);                                        \
        CallValue(n);                                                                                                  \
        if (recorded) --callCount;                                                                                     \
        SETTLE();                                                                                                      \
        NEXT();                                                                                                        \
    } while (0)
op_call : {
    const int n = ReadU16(pc);
    pc += 2;
    Value* function = top - n;
    if (function->IsTable()) {
        // Calling a table calls its "Default" method with the table as this.
        TableObject* table = function->table;
        function[1] = *function;
        *function = TableGet(table, defaultKey);
    }
    INVOKE(function, n);
}
op_callmethodk : {
    // The object's cell takes the method and the null above it the object,
    // so the call goes on as a plain call with the object as this.
    const int n = ReadU16(pc);
    uint8_t* const operand = pc + 2;
    pc += 2 + sizeof(Value);
    Value* object = top - n;
    object[1] = *object;
    if (object->IsTable()) {
        READ_CACHED_FIELD(object->table, operand, *object);
    } else {
        TableObject* lookup = TypePrototype(object->tag);
        *object = lookup != nullptr ? TableGet(lookup, ReadValue(operand)) : Value::Null();
    }
    INVOKE(object, n);
}
#undef INVOKE
op_callmethod : {
    const int n = ReadU16(pc);
    pc += 2;
    Value* key = top - n;
    Value* object = key - 1;
    key[1] = *object;
    TableObject* lookup = object->IsTable() ? object->table : TypePrototype(object->tag);
    *key = lookup != nullptr ? TableGet(lookup, *key) : Value::Null();
    if (!key->IsCallable()) FAIL(errFunctionCallToNonFunction);
    sp = top;
    if (key->tag == Tag::Func) {
        const CallRecord record{pc, current, frame, argCount, CallKind::Method};
        callee = key->func;
        if (!EnterFunction(callee, n)) goto failed;
        calls[callCount++] = record;
        goto entered;
    }
    // Only a debugger's call stack names natives.
    const bool recorded = DebugHooks::Attached();
    if (recorded) RecordNativeCall(pc, current, frame, key->native);
    CallValue(n);
    if (recorded) --callCount;
    if (errorId == errOK) {
        *object = *key;
        sp = object;
    }
    SETTLE();
    NEXT();
}
op_ret : {
    Value* functionCell = frame - 1;
    *functionCell = *top;
    sp = functionCell;
    // Only a return out of a loop's body leaves an iteration behind.
    if (!iterators.empty() && iterators.back().first > sp) ReleaseIteratorsAbove(sp);
    if (callCount == outerCalls) return true;
    // Field by field: only what the caller's code needs is read.
    const CallRecord& back = calls[--callCount];
    --callDepth;
    pc = back.returnPc;
    current = back.code;
    frame = back.frame;
    const uint16_t callerArgCount = back.argCount;
    const bool method = back.kind == CallKind::Method;
    start = current->bytes.data();
    fp = frame;
    argCount = callerArgCount;
    if (method) {
        // A method call leaves its result in the object's cell.
        functionCell[-1] = *functionCell;
        --sp;
    }
    SETTLE();
    NEXT();
}
entered:
    // EnterFunction has built the callee's frame; continue in its code.
    frame = fp;
    top = sp;
    current = &callee->code;
    start = pc = current->bytes.data();
    NEXT();
op_pop:
    --top;
    NEXT();
op_newtable : {
    int n = ReadU16(pc);
    if (n == 0) PUSH_ROOM();
    pc += 2;
    sp = top;
    // Every item but the one under key 0 becomes an entry: the items are
    // stored from the last one.
    TableObject* table = NewTable(static_cast<size_t>(n));
    // The last item lies on top and is stored first, so for a repeated key
    // the first item's value wins.
    for (; n > 0; --n) {
        table->Set(top[-1], top[0]);
        top -= 2;
    }
    StoreCell(*++top, Tag::Table, reinterpret_cast<uintptr_t>(table));
    sp = top;
    SETTLE();
    NEXT();
}
    // Fails with the indexing error unless container is a table; a read
    // shows a string container quoted, a store does not.
#define REQUIRE_TABLE(container, key, quoted)                                                                          \
    do {                                                                                                               \
        if (!(container).IsTable()) {                                                                                  \
            sp = top;                                                                                                  \
            RaiseError(errIndexingNonTable2, ToString(container, quoted, true)->Utf16(),                               \
                       ToString(key, true, true)->Utf16());                                                            \
            goto failed;                                                                                               \
        }                                                                                                              \
    } while (0)
    // Reads container[key] into result. Array reads take the short way; a
    // null there still asks "parent".
#define READ_INDEX(container, key, result)                                                                             \
    do {                                                                                                               \
        REQUIRE_TABLE(container, key, true);                                                                           \
        TableObject* table = (container).table;                                                                        \
        const Value* stored = table->InArray(key);                                                                     \
        if (stored != nullptr && !stored->IsNull()) {                                                                  \
            CopyCell(result, *stored);                                                                                 \
        } else {                                                                                                       \
            result = TableGet(table, key);                                                                             \
        }                                                                                                              \
    } while (0)
op_getindex:
    READ_INDEX(top[-1], top[0], top[-1]);
    --top;
    NEXT();
op_localindex:
    PUSH_ROOM();
    READ_INDEX(frame[ReadU16(pc)], frame[ReadU16(pc + 2)], top[1]);
    ++top;
    pc += 4;
    NEXT();
#undef READ_INDEX
    // Reads the field named by the value image at operand from object
    // into result, through the image's cache.
#define READ_FIELD(object, operand, result)                                                                            \
    do {                                                                                                               \
        REQUIRE_TABLE(object, ReadValue(operand), true);                                                               \
        READ_CACHED_FIELD((object).table, operand, result);                                                            \
    } while (0)
op_getfield:
    READ_FIELD(*top, pc, *top);
    pc += sizeof(Value);
    NEXT();
op_localfield:
    PUSH_ROOM();
    READ_FIELD(frame[ReadU16(pc)], pc + 2, top[1]);
    ++top;
    pc += 2 + sizeof(Value);
    NEXT();
#undef READ_FIELD
op_setindex:
    REQUIRE_TABLE(top[-2], top[-1], false);
    top[-2].table->Set(top[-1], top[0]);
    top -= 3;
    NEXT();
    // Stores the value on top under the name in the value image at operand
    // into container, through the image's cache.
#define WRITE_FIELD(container, operand)                                                                                \
    do {                                                                                                               \
        const Value key = ReadValue(operand);                                                                          \
        REQUIRE_TABLE(container, key, false);                                                                          \
        TableObject* table = (container).table;                                                                        \
        const int32_t cached = ReadCache(operand);                                                                     \
        if (table->EntryHasKey(cached, key)) {                                                                         \
            CopyCell(table->EntryValue(cached), top[0]);                                                               \
        } else {                                                                                                       \
            table->Set(key, top[0]);                                                                                   \
            WriteCache(operand, table->EntryIndexOf(key));                                                             \
        }                                                                                                              \
    } while (0)
op_setfield:
    WRITE_FIELD(top[-1], pc);
    top -= 2;
    pc += sizeof(Value);
    NEXT();
op_localsetfield:
    WRITE_FIELD(frame[ReadU16(pc)], pc + 2);
    --top;
    pc += 2 + sizeof(Value);
    NEXT();
#undef WRITE_FIELD
#undef REQUIRE_TABLE
op_nextindex:
    if (!top->IsTable()) {
        sp = top;
        RaiseError(errIndexingNonTable, ToString(*top, false, true)->Utf16());
        goto failed;
    }
    PUSH_ROOM();
    StoreNumber(top[1], top->table->MaxNumericKey() + 1.0);
    ++top;
    NEXT();
op_swap:
    std::swap(top[0], top[-1]);
    NEXT();
op_setpos:
    if (errorId == errOK) errorPlace.position = ReadI32(pc);
    pc += 4;
    NEXT();

failed:
    if (DebugHooks::Attached()) DebugHooks::ErrorPending(*this, *current, static_cast<size_t>(instruction - start), frame);
    // Frames of this loop are abandoned; whoever started it puts the stack back.
    callDepth -= static_cast<int>(callCount - outerCalls);
    callCount = outerCalls;
    if (errorId == errDie && fromNative) {
        ClearError();
    } else if (errorPlace.position < 0) {
        errorPlace = current->SourceAt(static_cast<size_t>(instruction - start));
    }
    return false;

    // Out of the way of the instructions' handlers, which keep their places.
op_interrupt:
    // The instruction's own handler follows unless the script is stopped
    // (its operands start at pc, as after any dispatch).
    sp = top;
    if (TakeInterrupt(*current, static_cast<size_t>(instruction - start), frame)) goto failed;
    goto* regular[*instruction];

#undef NEXT
#undef FAIL
#undef READ_GLOBAL
#undef READ_CACHED_FIELD
#undef PUSH_ROOM
#undef SETTLE
}

bool Interpreter::CallValue(int argc, bool fromNative)
{
    Value* const base = sp - argc;
    const Value function = *base;
    if (callDepth >= kMaxCallDepth) {
        RaiseError(errOutOfMemory);
        return false;
    }
    if (function.tag == Tag::FuncBin) {
        const uint16_t savedArgCount = argCount;
        argCount = static_cast<uint16_t>(argc);
        ++callDepth;
        uint32_t pushed = 0;
        WithinMemory(*this, [&] { pushed = function.native(*this); });
        --callDepth;
        // The result is the one cell the native pushed, wherever it left sp.
        const Value result = (pushed == 1 && sp >= base) ? *sp : Value::Null();
        sp = base;
        *base = result;
        argCount = savedArgCount;
        return errorId == errOK;
    }
    if (function.tag != Tag::Func) return false;
    Value* const savedFrame = fp;
    const uint16_t savedArgCount = argCount;
    if (!EnterFunction(function.func, argc)) return false;
    const bool ok = Execute(function.func->code, fromNative);
    --callDepth;
    fp = savedFrame;
    argCount = savedArgCount;
    return ok;
}

bool Interpreter::TakeStep()
{
    const bool timeUp = stepDeadline != std::chrono::steady_clock::time_point{} &&
                        std::chrono::steady_clock::now() > stepDeadline;
    if (stepsLeft == 0 || timeUp) {
        RaiseError(errOutOfMemory);
        return false;
    }
    if (stepsLeft > 0) --stepsLeft;
    return true;
}

void Interpreter::ForInStep()
{
    Value* place = sp - 3;
    if (place->IsNull()) {
        if (!sp->IsTable()) {
            RaiseError(errForNoniterableValue, ToString(*sp, false, true)->Utf16());
            return;
        }
        iterators.emplace_back(place, std::make_unique<TableIterator>(*sp->table));
        *place = Value::Binary(iterators.back().second.get());
    }
    auto* iterator = static_cast<TableIterator*>(place->binary);
    Value key, value;
    if (!iterator->Next(key, value)) {
        iterators.pop_back();
        sp = place;
        *sp = Value::Bool(false);
        return;
    }
    auto assign = [&](const Value& descriptor, const Value& v) {
        if (descriptor.IsNum()) {
            fp[static_cast<int>(descriptor.num)] = v;
        } else if (descriptor.IsStr()) {
            globals->Set(descriptor, v);
        }
    };
    assign(sp[-2], key);
    assign(sp[-1], value);
    if (!CheckStack(1)) return;
    *++sp = Value::Bool(true);
}

} // namespace vellum
