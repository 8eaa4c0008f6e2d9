// What a front end reads of a stopped run: the frames, from the loop's
// call records, and the values they hold.
#include "engine/compiler/compiler.h"
#include "engine/core/table_iterator.h"
#include "engine/debug/debugger.h"
#include "engine/vm/interpreter_internal.h"
#include "engine/vm/within_memory.h"

#include <algorithm>

namespace vellum {

namespace {

constexpr size_t kPreviewUnits = 120;

// The text of a value as a script would print it quoted; a table shows its
// first entries, nested tables as {...}, so a huge one costs no more.
std::u16string Preview(Interpreter& ip, const Value& v)
{
    if (!v.IsTable()) {
        // A string is cut rather than copied whole: it may be huge.
        if (v.IsStr() && v.str->Length() > kPreviewUnits) {
            const std::u16string preview =
                v.str->Visit([](auto units) { return std::u16string(units.begin(), units.begin() + kPreviewUnits); });
            return u"\"" + preview + u"...\"";
        }
        return ip.ToString(v, true, false)->Utf16();
    }
    std::u16string out = u"{";
    TableIterator entries(*v.table);
    Value key, value;
    bool first = true;
    while (entries.Next(key, value)) {
        if (out.size() > kPreviewUnits) {
            out += u", ...";
            break;
        }
        if (!first) out += u", ";
        first = false;
        out += key.IsTable() ? u"{...}" : ip.ToString(key, true, false)->Utf16();
        out += u" = ";
        out += value.IsTable() ? u"{...}" : Preview(ip, value);
    }
    return out + u"}";
}

std::u16string KeyName(Interpreter& ip, const Value& key)
{
    if (key.IsStr()) return key.str->Utf16();
    return key.IsTable() ? u"{...}" : ip.ToString(key, true, false)->Utf16();
}

// The name a native is published under: a global, or a method of a table
// held in a global ("TList.SetItem").
std::u16string NativeName(TableObject& globals, NativeFunction native)
{
    Value key, value;
    TableIterator outer(globals);
    while (outer.Next(key, value)) {
        if (value.tag == Tag::FuncBin && value.native == native && key.IsStr()) return key.str->Utf16();
    }
    TableIterator tables(globals);
    while (tables.Next(key, value)) {
        if (!value.IsTable() || !key.IsStr()) continue;
        Value methodName, method;
        TableIterator methods(*value.table);
        while (methods.Next(methodName, method)) {
            if (method.tag == Tag::FuncBin && method.native == native && methodName.IsStr()) {
                return key.str->Utf16() + u"." + methodName.str->Utf16();
            }
        }
    }
    return u"(native)";
}

} // namespace

DebugStop::DebugStop(Interpreter& ip_, StopReason reason_, Code& code, size_t pc, Value* frame)
    : ip(ip_), reason(reason_), top{&code, pc, frame, false}
{
}

FunctionObject* DebugStop::FunctionOf(const FrameState& state) const
{
    if (state.code == nullptr || state.frame <= ip.stack) return nullptr;
    const Value& called = state.frame[-1];
    return called.tag == Tag::Func && &called.func->code == state.code ? called.func : nullptr;
}

void DebugStop::Walk()
{
    if (walked) return;
    walked = true;
    states.push_back(top);
    frames.emplace_back();
    for (size_t i = ip.callCount; i-- > 0;) {
        const auto& record = ip.calls[i];
        if (record.kind == Interpreter::CallKind::Native) {
            states.emplace_back();
            DebugFrame& native = frames.emplace_back();
            native.name = NativeName(*ip.globals, ip.callNatives[i]);
            native.native = true;
        }
        states.push_back({record.code, static_cast<size_t>(record.returnPc - record.code->bytes.data()), record.frame,
                          true});
        frames.emplace_back();
    }
    for (size_t i = 0; i < states.size(); ++i) {
        const FrameState& state = states[i];
        if (state.code == nullptr) continue;
        DebugFrame& frame = frames[i];
        const FunctionObject* function = FunctionOf(state);
        frame.hasLocals = function != nullptr;
        frame.name = function == nullptr ? u"(main)" : function->name.empty() ? u"(anonymous function)" : function->name;
        const auto& statements = state.code->statements;
        const auto statement = std::lower_bound(statements.begin(), statements.end(), state.pc,
                                                [](const Code::Position& p, size_t pc) { return p.pc < pc; });
        if (!state.caller && statement != statements.end() && statement->pc == state.pc) {
            frame.place = statement->place;
        } else {
            frame.place = state.code->SourceAt(state.caller && state.pc > 0 ? state.pc - 1 : state.pc);
        }
        if (!frame.place.Known()) continue;
        frame.source = Debugger::SourceName(ip, frame.place.text);
        const TextLocation at = LocateInText(Internals(ip).SourceText(frame.place.text), frame.place.position);
        frame.line = at.line;
        frame.column = at.column;
    }
}

const std::vector<DebugFrame>& DebugStop::Frames()
{
    Walk();
    return frames;
}

uint32_t DebugStop::Hold(Held entry)
{
    if (entry.kind == Held::Kind::Table) {
        for (size_t i = 0; i < held.size(); ++i) {
            if (held[i].kind == Held::Kind::Table && held[i].value.table == entry.value.table) {
                return static_cast<uint32_t>(i + 1);
            }
        }
        ip.debuggerHeld.push_back(entry.value);
    }
    held.push_back(entry);
    return static_cast<uint32_t>(held.size());
}

void DebugStop::Release()
{
    ip.debuggerHeld.clear();
    held.clear();
}

uint32_t DebugStop::Locals(size_t frame)
{
    Walk();
    return frame < states.size() ? Hold({Held::Kind::Locals, Value::Null(), frame}) : 0;
}

uint32_t DebugStop::Globals() { return Hold({Held::Kind::Globals, Value::Null(), 0}); }

DebugVariable DebugStop::Describe(std::u16string name, const Value& value)
{
    DebugVariable variable;
    variable.name = std::move(name);
    variable.type = TagName(value.tag);
    variable.value = Preview(ip, value);
    if (value.IsTable()) {
        variable.reference = Hold({Held::Kind::Table, value, 0});
        variable.childCount = static_cast<uint32_t>(value.table->Count());
    }
    return variable;
}

std::vector<DebugVariable> DebugStop::Variables(uint32_t reference, size_t start, size_t count)
{
    std::vector<DebugVariable> out;
    if (reference == 0 || reference > held.size()) return out;
    const size_t end = count == 0 ? SIZE_MAX : start + count;
    size_t index = 0;
    auto add = [&](const Value& key, const Value& value) {
        if (index >= start && index < end) out.push_back(Describe(KeyName(ip, key), value));
        ++index;
    };
    const Held entry = held[reference - 1];
    if (entry.kind == Held::Kind::Locals) {
        const FunctionObject* function = FunctionOf(states[entry.frame]);
        if (function == nullptr) return out;
        std::vector<std::pair<int, Value>> slots;
        Value name, slot;
        TableIterator locals(function->locals);
        while (locals.Next(name, slot)) slots.emplace_back(static_cast<int>(slot.num), name);
        std::sort(slots.begin(), slots.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [i, localName] : slots) add(localName, states[entry.frame].frame[i]);
        return out;
    }
    TableObject& table = entry.kind == Held::Kind::Globals ? *ip.globals : *entry.value.table;
    Value key, value;
    TableIterator entries(table);
    while (index < end && entries.Next(key, value)) add(key, value);
    return out;
}

uint32_t DebugStop::VariableCount(uint32_t reference)
{
    if (reference == 0 || reference > held.size()) return 0;
    const Held entry = held[reference - 1];
    if (entry.kind == Held::Kind::Locals) {
        const FunctionObject* function = FunctionOf(states[entry.frame]);
        return function == nullptr ? 0 : static_cast<uint32_t>(function->locals.Count());
    }
    TableObject& table = entry.kind == Held::Kind::Globals ? *ip.globals : *entry.value.table;
    uint32_t n = 0;
    Value key, value;
    TableIterator entries(table);
    while (entries.Next(key, value)) ++n;
    return n;
}

DebugStop::Evaluation DebugStop::Evaluate(size_t frame, std::u16string_view expression)
{
    Walk();
    Evaluation evaluation;
    if (frame >= states.size()) {
        evaluation.error = u"No such frame";
        return evaluation;
    }
    FunctionObject* scope = FunctionOf(states[frame]);
    // The run's own error, stack and frame come back as they were.
    const Interpreter::ErrorState savedError = ip.SaveError();
    const bool seen = ip.errorSeenByDebugger;
    const Interpreter::StackState savedStack = ip.SaveStack();
    ip.ClearError();
    Code code;
    WithinMemory(ip, [&] { Compiler::Compile(ip, expression, kNoSourceText, code, true, {}, scope); });
    if (!ip.ErrorPending()) {
        if (scope != nullptr) ip.fp = states[frame].frame;
        if (ip.Execute(code, true) && !ip.ErrorPending()) {
            evaluation.ok = true;
            evaluation.result = Describe(u"result", *ip.sp);
        }
    }
    if (ip.ErrorPending()) evaluation.error = ip.FormatError();
    ip.RestoreStack(savedStack);
    ip.RestoreError(savedError);
    ip.errorSeenByDebugger = seen;
    return evaluation;
}

} // namespace vellum
