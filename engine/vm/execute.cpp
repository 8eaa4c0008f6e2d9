// The interpreter loop. Script functions run in nested Execute calls, one
// per active function; natives run inside CallValue. Operands are read
// unaligned straight from the code; arithmetic works in place on the stack.
#include "compiler/opcodes.h"
#include "core/table_iterator.h"
#include "vm/interpreter.h"

#include <cstring>

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

} // namespace

bool Interpreter::Execute(const Code& code, bool fromNative)
{
    const uint8_t* const start = code.bytes.data();
    const uint8_t* pc = start;
    Value* const stackLimit = stack + kStackCells - 2;
    for (;;) {
        const uint8_t* const instruction = pc;
        const uint8_t op = *pc++;
        switch (op) {
        case OP_END:
            return true;
        case OP_PUSHK:
            if (sp >= stackLimit) {
                RaiseError(errOutOfMemory);
                break;
            }
            std::memcpy(static_cast<void*>(++sp), pc, sizeof(Value));
            pc += sizeof(Value);
            break;
        case OP_EQ:
        case OP_NE: {
            const bool equal = KeysEqual(sp[-1], sp[0]);
            --sp;
            *sp = Value::Bool(equal == (op == OP_EQ));
            break;
        }
        case OP_LT:
        case OP_GT:
        case OP_LE:
        case OP_GE: {
            const Value& a = sp[-1];
            const Value& b = sp[0];
            bool result;
            if (a.tag == Tag::Num && b.tag == Tag::Num) {
                result = op == OP_LT ? a.num < b.num : op == OP_GT ? a.num > b.num : op == OP_LE ? !(a.num > b.num) : !(a.num < b.num);
            } else {
                if (a.tag != b.tag) RaiseError(errComparisonDifferentTypes, ComparisonText(op));
                result = op == OP_LT ? ValueLess(a, b) : op == OP_GT ? ValueGreater(a, b) : op == OP_LE ? !ValueGreater(a, b) : !ValueLess(a, b);
            }
            --sp;
            *sp = Value::Bool(result);
            break;
        }
        case OP_AND:
        case OP_OR: {
            const bool a = sp[-1].IsTrue();
            const bool b = sp[0].IsTrue();
            --sp;
            *sp = Value::Bool(op == OP_AND ? (a && b) : (a || b));
            break;
        }
        case OP_NEG:
            if (sp->tag != Tag::Num) {
                RaiseError(errNumberExpected);
                break;
            }
            sp->num = -sp->num;
            break;
        case OP_ADD:
        case OP_SUB:
        case OP_MUL:
        case OP_DIV: {
            Value& a = sp[-1];
            const Value& b = sp[0];
            if (a.tag != Tag::Num || b.tag != Tag::Num) {
                RaiseError(errNumberExpected);
                break;
            }
            switch (op) {
            case OP_ADD:
                a.num += b.num;
                break;
            case OP_SUB:
                a.num -= b.num;
                break;
            case OP_MUL:
                a.num *= b.num;
                break;
            default:
                a.num /= b.num;
                break;
            }
            --sp;
            break;
        }
        case OP_CONCAT: {
            StringObject* a = ToString(sp[-1], false, true);
            sp[-1] = Value::String(a);
            StringObject* b = ToString(sp[0], false, true);
            --sp;
            *sp = Value::String(ConcatStrings(a, b));
            break;
        }
        case OP_JMP:
            pc += 4 + ReadI32(pc);
            break;
        case OP_JMPF:
            if (sp->tag != Tag::Bool) {
                RaiseError(errBoolExpected);
                break;
            }
            pc += (sp--)->word == 0 ? 4 + ReadI32(pc) : 4;
            break;
        case OP_FORIN:
            ForInStep();
            break;
        case OP_SETGLOBAL:
            globals->Set(ReadValue(pc), *sp);
            --sp;
            pc += sizeof(Value);
            break;
        case OP_GETGLOBAL:
            if (sp >= stackLimit) {
                RaiseError(errOutOfMemory);
                break;
            }
            *++sp = globals->Get(ReadValue(pc));
            pc += sizeof(Value);
            break;
        case OP_SETLOCAL:
            fp[ReadU16(pc)] = *sp;
            --sp;
            pc += 2;
            break;
        case OP_GETLOCAL:
            if (sp >= stackLimit) {
                RaiseError(errOutOfMemory);
                break;
            }
            sp[1] = fp[ReadU16(pc)];
            ++sp;
            pc += 2;
            break;
        case OP_CALL: {
            const int n = ReadU16(pc);
            pc += 2;
            Value* function = sp - n;
            if (function->IsTable()) {
                // Calling a table calls its "Default" method with the table as this.
                TableObject* table = function->table;
                function[1] = *function;
                *function = TableGet(table, MakeString(u"Default"));
            }
            if (!function->IsCallable()) {
                RaiseError(errFunctionCallToNonFunction);
                break;
            }
            CallValue(n);
            break;
        }
        case OP_CALLMETHOD: {
            const int n = ReadU16(pc);
            pc += 2;
            Value* key = sp - n;
            Value* object = key - 1;
            key[1] = *object;
            TableObject* lookup = object->IsTable() ? object->table : TypePrototype(object->tag);
            *key = lookup != nullptr ? TableGet(lookup, *key) : Value::Null();
            if (!key->IsCallable()) {
                RaiseError(errFunctionCallToNonFunction);
                break;
            }
            CallValue(n);
            *object = *key;
            sp = object;
            break;
        }
        case OP_RET: {
            Value* functionCell = fp - 1;
            *functionCell = *sp;
            sp = functionCell;
            ReleaseIteratorsAbove(sp);
            return true;
        }
        case OP_POP:
            --sp;
            break;
        case OP_NEWTABLE: {
            int n = ReadU16(pc);
            pc += 2;
            TableObject* table = NewTable();
            // The last item lies on top and is stored first, so for a
            // repeated key the first item's value wins.
            for (; n > 0; --n) {
                table->Set(sp[-1], sp[0]);
                sp -= 2;
            }
            *++sp = Value::Table(table);
            break;
        }
        case OP_GETINDEX:
            if (!sp[-1].IsTable()) {
                RaiseError(errIndexingNonTable2, ToString(sp[-1], true, true)->View(), ToString(sp[0], true, true)->View());
                --sp;
                break;
            }
            sp[-1] = TableGet(sp[-1].table, sp[0]);
            --sp;
            break;
        case OP_METHODMARK:
            break;
        case OP_SETINDEX:
            if (!sp[-2].IsTable()) {
                RaiseError(errIndexingNonTable2, ToString(sp[-2], false, true)->View(), ToString(sp[-1], true, true)->View());
                --sp;
                break;
            }
            sp[-2].table->Set(sp[-1], sp[0]);
            sp -= 3;
            break;
        case OP_NEXTINDEX:
            if (!sp->IsTable()) {
                RaiseError(errIndexingNonTable, ToString(*sp, false, true)->View());
                --sp;
                break;
            }
            if (sp >= stackLimit) {
                RaiseError(errOutOfMemory);
                break;
            }
            sp[1] = Value::Number(sp->table->MaxNumericKey() + 1.0);
            ++sp;
            break;
        case OP_SWAP:
            std::swap(sp[0], sp[-1]);
            break;
        case OP_SETPOS:
            if (!ErrorPending()) errorPosition = ReadI32(pc);
            pc += 4;
            break;
        default:
            break;
        }
        if (errorId != errOK) {
            if (errorId == errDie && fromNative) {
                ClearError();
            } else if (errorPosition < 0) {
                errorPosition = code.SourceAt(static_cast<size_t>(instruction - start));
            }
            return false;
        }
        if (gcEnabled && collector.Due()) Collect();
    }
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
        const uint32_t pushed = function.native(*this);
        --callDepth;
        // The result is the one cell the native pushed, wherever it left sp.
        const Value result = (pushed == 1 && sp >= base) ? *sp : Value::Null();
        sp = base;
        *base = result;
        argCount = savedArgCount;
        return !ErrorPending();
    }
    if (function.tag != Tag::Func) return false;
    FunctionObject* f = function.func;
    const int missing = static_cast<int>(f->slotCount.num) - argc;
    if (!CheckStack((missing > 0 ? missing : 0) + 2)) return false;
    for (int i = 0; i < missing; ++i) *++sp = Value::Null();
    if (missing < 0) sp += missing;
    // The frame keeps the caller's fp and argument count above the locals.
    Value savedFp;
    savedFp.binary = fp;
    *++sp = savedFp;
    *++sp = Value::Number(argCount);
    Value* const savedFrame = fp;
    const uint16_t savedArgCount = argCount;
    argCount = static_cast<uint16_t>(argc);
    fp = base + 1;
    ++callDepth;
    const bool ok = Execute(f->code, fromNative);
    --callDepth;
    fp = savedFrame;
    argCount = savedArgCount;
    return ok;
}

void Interpreter::ForInStep()
{
    Value* place = sp - 3;
    if (place->IsNull()) {
        if (!sp->IsTable()) {
            RaiseError(errForNoniterableValue, ToString(*sp, false, true)->View());
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
