#include "engine/compiler/compiler.h"

#include "engine/compiler/opcodes.h"
#include "engine/lexer/token.h"
#include "engine/vm/interpreter_internal.h"

#include <cstring>

namespace vellum {

void Compiler::Compile(Interpreter& ip, std::u16string_view text, uint32_t textId, Code& code,
                       bool expressionMode, std::u16string_view tokenFileName, FunctionObject* scope)
{
    SourceReader reader(ip, text, textId, tokenFileName);
    Compiler compiler(ip, reader, code);
    compiler.currentFunction = scope;
    reader.Next();
    if (expressionMode) {
        compiler.Expression();
    } else {
        compiler.Statements();
    }
    if (!compiler.Failed() && reader.Token() != token::End) reader.RaiseAt(errEndExpected);
    compiler.Emit(OP_END, reader.TokenPosition());
    reader.Close();
}

Compiler::Compiler(Interpreter& ip_, SourceReader& reader_, Code& code_) : ip(ip_), reader(reader_), code(&code_) {}

bool Compiler::Failed() const { return ip.ErrorPending(); }

Compiler::NestingGuard::NestingGuard(Compiler& c) : compiler(c)
{
    // The parser recurses once per nested expression or block; a text
    // nested deeper than any real script fails here instead of exhausting
    // the native stack.
    if (++compiler.nesting > kMaxNesting) compiler.reader.RaiseAt(errOutOfMemory);
}

// --- statements ----------------------------------------------------------

void Compiler::Statements()
{
    const NestingGuard guard(*this);
    for (;;) {
        const uint32_t t = Token();
        if (Failed() || t == token::End || t == token::EndKeyword || t == token::ElseIf || t == token::Else) return;
        Statement();
    }
}

void Compiler::Statement()
{
    MarkStatement();
    switch (Token()) {
    case token::Var:
        return VarStatement();
    case token::Function:
        return FunctionStatement();
    case token::Return:
        return ReturnStatement();
    case token::If:
        return IfStatement();
    case token::While:
        return WhileStatement();
    case token::For:
        return ForStatement();
    case token::Identifier:
        return NameStatement();
    default:
        reader.RaiseAt(errUnexpectedItem);
    }
}

void Compiler::MarkStatement()
{
    const SourcePlace place{Here(), reader.TextId()};
    if (place.text == kNoSourceText) return;
    const auto pc = static_cast<uint32_t>(code->bytes.size());
    auto& statements = code->statements;
    // A statement that made no code (a bare `var`) leaves its offset to the next one.
    if (!statements.empty() && statements.back().pc == pc) {
        statements.back().place = place;
    } else {
        statements.push_back({pc, place});
    }
}

void Compiler::VarStatement()
{
    if (reader.Next() != token::Identifier) return reader.RaiseAt(errIdentifierExpected);
    const Value name = reader.TokenValue();
    const int32_t position = Here();
    const uint16_t slot = DeclareVariable(name, true);
    if (Failed()) return;
    if (reader.Next() != '=') return;
    reader.Next();
    Expression();
    EmitStore(name, slot, position);
}

void Compiler::FunctionStatement()
{
    if (reader.Next() != token::Identifier) return reader.RaiseAt(errIdentifierExpected);
    const Value name = reader.TokenValue();
    const int32_t position = Here();
    // Declared before the body is compiled, so the body and the code after
    // it can refer to the name; an existing global is overwritten. Inside a
    // function the name becomes a local of that function.
    const uint16_t slot = DeclareVariable(name, false);
    if (Failed()) return;
    reader.Next();
    FunctionBody(name.str->Utf16());
    EmitStore(name, slot, position);
}

void Compiler::ReturnStatement()
{
    const int32_t position = Here();
    if (currentFunction == nullptr) return reader.RaiseAt(errReturnOudsideFunction);
    const uint32_t t = reader.Next();
    if (t == token::EndKeyword || t == token::Else) {
        EmitValue(OP_PUSHK, Value::Null(), position);
    } else {
        Expression();
    }
    Emit(OP_RET, position);
}

void Compiler::IfStatement()
{
    // Every branch but the last ends with a jump out; all of them land on
    // the end of the statement.
    std::vector<size_t> exits;
    do {
        reader.Next();
        const int32_t position = Here();
        Expression();
        const size_t skip = EmitJump(OP_JMPF, position);
        Statements();
        if (Failed()) return;
        if (Token() == token::ElseIf || Token() == token::Else) exits.push_back(EmitJump(OP_JMP, position));
        PatchJump(skip, code->bytes.size());
    } while (Token() == token::ElseIf);
    if (Token() == token::Else) {
        reader.Next();
        Statements();
    }
    if (Failed()) return;
    if (Token() != token::EndKeyword) return reader.RaiseAt(errUnexpectedItem);
    reader.Next();
    for (size_t at : exits) PatchJump(at, code->bytes.size());
}

void Compiler::WhileStatement()
{
    const size_t loop = Label();
    reader.Next();
    const int32_t position = Here();
    Expression();
    LoopBody(loop, EmitJump(OP_JMPF, position));
}

void Compiler::ForStatement()
{
    const int32_t position = Here();
    if (reader.Next() != token::Identifier) return reader.RaiseAt(errIdentifierExpected);
    Value keyName;
    Value valueName = reader.TokenValue();
    if (reader.Next() == ':') {
        if (reader.Next() != token::Identifier) return reader.RaiseAt(errIdentifierExpected);
        keyName = valueName;
        valueName = reader.TokenValue();
        reader.Next();
    }
    if (Token() != token::In) return reader.RaiseAt(errUnexpectedItem);
    // A loop variable is a local slot number or a global's name.
    auto descriptor = [&](const Value& name) {
        if (name.IsNull()) return Value::Null();
        const uint16_t slot = DeclareVariable(name, false);
        return slot == kGlobalSlot ? KeepConstant(name) : Value::Number(slot);
    };
    const Value keyDescriptor = descriptor(keyName);
    const Value valueDescriptor = descriptor(valueName);
    EmitValue(OP_PUSHK, Value::Null(), position);
    EmitValue(OP_PUSHK, keyDescriptor, position);
    EmitValue(OP_PUSHK, valueDescriptor, position);
    reader.Next();
    const int32_t valuePosition = Here();
    Expression();
    const size_t loop = Label();
    Emit(OP_FORIN, valuePosition);
    LoopBody(loop, EmitJump(OP_JMPF, valuePosition));
}

void Compiler::LoopBody(size_t loop, size_t exit)
{
    const size_t testJump = lastJump;
    const size_t body = exit + 4;
    Statements();
    if (Failed()) return;
    if (Token() != token::EndKeyword) return reader.RaiseAt(errUnexpectedItem);
    reader.Next();
    RepeatTest(loop, testJump, body);
    PatchJump(exit, code->bytes.size());
}

void Compiler::RepeatTest(size_t test, size_t testJump, size_t body)
{
    // Nothing jumps in between a body that ends with x = x + k and the
    // test, so a test of x may take the same dispatch (INCLTL, INCLTK, ...).
    const size_t increment = last.op == OP_INCLOCAL ? last.start : SIZE_MAX;
    Label();
    // The test's code again, with the source places its instructions had.
    const size_t copy = code->bytes.size();
    std::vector<Code::Position> places;
    for (const Code::Position& p : code->positions) {
        if (p.pc > testJump) break;
        if (p.pc <= test) places.clear();
        places.push_back({static_cast<uint32_t>(copy + (p.pc > test ? p.pc - test : 0)), p.place});
    }
    for (const Code::Position& p : places) {
        if (code->positions.empty() || code->positions.back().place != p.place) code->positions.push_back(p);
    }
    const std::vector<uint8_t> testCode(code->bytes.begin() + static_cast<std::ptrdiff_t>(test),
                                        code->bytes.begin() + static_cast<std::ptrdiff_t>(testJump));
    code->bytes.insert(code->bytes.end(), testCode.begin(), testCode.end());
    // An index fused with the test jumps back as the test now does.
    size_t lastOfTest = copy;
    for (size_t i = copy; i < code->bytes.size(); i += 1 + OperandBytes(kOperandsOf[code->bytes[i]])) lastOfTest = i;
    const uint8_t fused = lastOfTest < code->bytes.size() ? code->bytes[lastOfTest] : static_cast<uint8_t>(OP_COUNT);
    if (fused >= OP_INDEXJLTL && fused <= OP_INDEXJGEL) {
        code->bytes[lastOfTest] = static_cast<uint8_t>(fused + (OP_INDEXLOOPLTL - OP_INDEXJLTL));
    }
    // Its jump turned around: back to the body while the test holds.
    const uint8_t op = code->bytes[testJump];
    uint8_t loopOp = OP_LOOPT;
    if (op >= OP_JEQ && op <= OP_JGE) loopOp = static_cast<uint8_t>(OP_LOOPEQ + (op - OP_JEQ));
    if (op >= OP_JEQK && op <= OP_JGEK) loopOp = static_cast<uint8_t>(OP_LOOPEQK + (op - OP_JEQK));
    if (op >= OP_JEQL && op <= OP_JGEL) loopOp = static_cast<uint8_t>(OP_LOOPEQL + (op - OP_JEQL));
    code->bytes.push_back(loopOp);
    // The operands before the offset (a constant or a slot) stay as they are.
    const size_t kept = OperandBytes(kOperandsOf[op]) - 4;
    for (size_t i = 0; i < kept; ++i) {
        const uint8_t operand = code->bytes[testJump + 1 + i];
        code->bytes.push_back(operand);
    }
    const size_t at = code->bytes.size();
    code->bytes.insert(code->bytes.end(), 4, 0);
    PatchJump(at, body);
    if (increment == SIZE_MAX || OperandU16(test + 1) != OperandU16(increment + 1)) return;
    const uint8_t load = code->bytes[test];
    if (test + 1 + OperandBytes(kOperandsOf[load]) != testJump) return;
    if (load == OP_GETLOCAL2 && op >= OP_JLT && op <= OP_JGE) {
        code->bytes[increment] = static_cast<uint8_t>(OP_INCLTL + (op - OP_JLT));
    } else if (load == OP_GETLOCAL && op >= OP_JLTK && op <= OP_JGEK) {
        code->bytes[increment] = static_cast<uint8_t>(OP_INCLTK + (op - OP_JLTK));
    }
}

void Compiler::NameStatement()
{
    const Value name = reader.TokenValue();
    const int32_t position = Here();
    const uint16_t slot = ResolveLocal(name);
    if (slot == kGlobalSlot && !ip.HasGlobal(name)) {
        return reader.RaiseAt(errUndeclaredVariable, name.str->Utf16());
    }
    if (reader.Next() == '=') {
        reader.Next();
        Expression();
        EmitStore(name, slot, position);
        return;
    }
    EmitLoadName(name, position);
    const ChainEnd end = Chain(true);
    if (Failed()) return;
    if (end == ChainEnd::Call) {
        Emit(OP_POP, position);
    } else if (end == ChainEnd::Read) {
        reader.RaiseAt(errAssignmentExpected);
    }
}

// --- expressions ---------------------------------------------------------

void Compiler::Expression()
{
    const NestingGuard guard(*this);
    if (!Failed()) Binary(0);
}

namespace {

// The binary operators by binding level, loosest first; all of them are
// left-associative. OP_COUNT means the token is no operator of the level.
constexpr int kBinaryLevels = 6;

uint8_t BinaryOperator(int level, uint32_t t)
{
    switch (level) {
    case 0:
        return t == token::Or ? OP_OR : OP_COUNT;
    case 1:
        return t == token::And ? OP_AND : OP_COUNT;
    case 2:
        switch (t) {
        case token::Equal:
            return OP_EQ;
        case token::NotEqual:
            return OP_NE;
        case '<':
            return OP_LT;
        case '>':
            return OP_GT;
        case token::LessEqual:
            return OP_LE;
        case token::GreaterEqual:
            return OP_GE;
        default:
            return OP_COUNT;
        }
    case 3:
        return t == '&' ? OP_CONCAT : OP_COUNT;
    case 4:
        return t == '+' ? OP_ADD : t == '-' ? OP_SUB : OP_COUNT;
    default:
        return t == '*' ? OP_MUL : t == '/' ? OP_DIV : OP_COUNT;
    }
}

} // namespace

void Compiler::Binary(int level)
{
    if (level == kBinaryLevels) return Unary();
    Binary(level + 1);
    // Both operands are always evaluated: there is no short-circuit.
    size_t previousJoin = kNoInstruction;
    while (!Failed()) {
        const uint8_t op = BinaryOperator(level, Token());
        if (op == OP_COUNT) return;
        const int32_t position = Here();
        reader.Next();
        const uint32_t callsBefore = callsCompiled;
        Binary(level + 1);
        if (op != OP_CONCAT || Failed()) {
            Emit(op, position);
            continue;
        }
        if (previousJoin != kNoInstruction && callsCompiled == callsBefore && JoinedCells(previousJoin) < kMaxJoinedCells) {
            previousJoin = JoinConcatenation(previousJoin, position);
        } else {
            previousJoin = code->bytes.size();
            Emit(op, position);
        }
    }
}

uint32_t Compiler::JoinedCells(size_t join) const
{
    return code->bytes[join] == OP_CONCATN ? OperandU16(join + 1) : 2u;
}

size_t Compiler::JoinConcatenation(size_t previousJoin, int32_t position)
{
    // The join before this operand's code goes; its cells stay on the
    // stack for one join of them all at the end.
    const size_t length = code->bytes[previousJoin] == OP_CONCATN ? 1 + OperandBytes(Operands::Count) : 1;
    const uint32_t cells = JoinedCells(previousJoin) + 1;
    code->bytes.erase(code->bytes.begin() + static_cast<std::ptrdiff_t>(previousJoin),
                      code->bytes.begin() + static_cast<std::ptrdiff_t>(previousJoin + length));
    auto& positions = code->positions;
    for (auto& p : positions) {
        if (p.pc > previousJoin) p.pc -= static_cast<uint32_t>(length);
    }
    // The operand's first instruction may now share its offset with the
    // join's own place, which it replaces.
    for (size_t i = 0; i + 1 < positions.size(); ++i) {
        if (positions[i].pc == positions[i + 1].pc) {
            positions.erase(positions.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    Label();
    const size_t join = code->bytes.size();
    EmitU16(OP_CONCATN, cells, position);
    return join;
}

void Compiler::Unary()
{
    const NestingGuard guard(*this);
    if (Failed()) return;
    if (Token() == '-') {
        const int32_t position = Here();
        reader.Next();
        Unary();
        Emit(OP_NEG, position);
    } else if (Token() == '+') {
        reader.Next();
        Unary();
    } else {
        Primary();
        Chain(false);
    }
}

void Compiler::Primary()
{
    if (Failed()) return;
    const int32_t position = Here();
    switch (Token()) {
    case '(':
        reader.Next();
        Expression();
        if (Failed()) return;
        reader.Expect(')', errClosingRoundExpected);
        return;
    case '{':
        return TableConstructor();
    case token::Null:
    case token::Number:
    case token::Boolean:
    case token::String:
        EmitValue(OP_PUSHK, KeepConstant(reader.TokenValue()), position);
        reader.Next();
        return;
    case token::Function:
        reader.Next();
        return FunctionBody();
    case token::Identifier:
        EmitLoadName(reader.TokenValue(), position);
        if (!Failed()) reader.Next();
        return;
    default:
        reader.RaiseAt(errUnexpectedItem);
    }
}

Compiler::ChainEnd Compiler::Chain(bool statement)
{
    bool lastWasCall = false;
    while (!Failed()) {
        const int32_t position = Here();
        const uint32_t t = Token();
        if (t == '(' || t == '{') {
            CallArguments(false, position);
            lastWasCall = true;
            continue;
        }
        if (t == '.') {
            if (reader.Next() != token::Identifier) {
                reader.RaiseAt(errIdentifierExpected);
                return ChainEnd::Read;
            }
            EmitValue(OP_PUSHK, KeepConstant(reader.TokenValue()), position);
            reader.Next();
        } else if (t == '[') {
            if (reader.Next() == ']') {
                Emit(OP_NEXTINDEX, position);
            } else {
                Expression();
                if (Failed()) return ChainEnd::Read;
                if (Token() != ']') {
                    reader.RaiseAt(errClosingSquareExpected);
                    return ChainEnd::Read;
                }
            }
            reader.Next();
        } else {
            return lastWasCall ? ChainEnd::Call : ChainEnd::Read;
        }
        // Container and key are on the stack: an assignment, a method call or a read.
        if (statement && Token() == '=') {
            reader.Next();
            if (LastConstantTag() == Tag::Str) {
                // A store under a constant name: the name moves into the
                // instruction, which caches where the table keeps it. So
                // does a local table's slot, as no expression can change a
                // local while the value is worked out.
                const Value name = LoadValueImage(&code->bytes[last.start + 1]);
                const bool intoLocal = beforeLast.op == OP_GETLOCAL;
                const uint16_t slot = intoLocal ? OperandU16(beforeLast.start + 1) : 0;
                Rewind(intoLocal ? beforeLast.start : last.start);
                Expression();
                if (intoLocal) {
                    Begin(OP_LOCALSETFIELD, position);
                    AppendU16(slot);
                    AppendValue(name);
                } else {
                    EmitValue(OP_SETFIELD, name, position);
                }
            } else {
                Expression();
                Emit(OP_SETINDEX, position);
            }
            return ChainEnd::Assignment;
        }
        if (Token() == '(' || Token() == '{') {
            // METHODMARK would mark this spot; it does nothing, so it is left out.
            // A constant name moves into the call, which caches where the
            // object keeps it.
            Value name;
            if (LastConstantTag() == Tag::Str) {
                name = LoadValueImage(&code->bytes[last.start + 1]);
                Rewind(last.start);
            }
            CallArguments(true, Here(), name);
            lastWasCall = true;
        } else {
            Emit(OP_GETINDEX, position);
            lastWasCall = false;
        }
    }
    return ChainEnd::Read;
}

void Compiler::CallArguments(bool method, int32_t position, const Value& methodName)
{
    ++callsCompiled;
    if (!method && last.op == OP_GETGLOBAL) {
        // The callee is a global: it and the call's this come in one step.
        Fuse(OP_GETCALLEE, last.position);
    } else {
        EmitValue(OP_PUSHK, Value::Null(), position);
    }
    uint32_t count = 1;
    if (Token() == '{') {
        TableConstructor();
        ++count;
    } else {
        if (reader.Next() != ')') {
            for (;;) {
                Expression();
                ++count;
                if (Failed() || Token() != ',') break;
                reader.Next();
            }
        }
        if (Failed()) return;
        reader.Expect(')', errClosingRoundExpected);
    }
    if (methodName.IsStr()) {
        if (count > 0xFFFF) return reader.RaiseAt(errOutOfMemory);
        Begin(OP_CALLMETHODK, position);
        AppendU16(count);
        AppendValue(methodName);
        return;
    }
    EmitU16(method ? OP_CALLMETHOD : OP_CALL, count, position);
}

void Compiler::TableConstructor()
{
    const int32_t position = Here();
    reader.Next();
    uint32_t items = 0;
    double positional = 0;
    while (!Failed() && Token() != '}' && Token() != token::End) {
        const int32_t itemPosition = Here();
        const uint32_t t = Token();
        const bool keyable = t == token::Identifier || t == token::String || t == token::Number || t == token::Boolean;
        // One token of look-ahead tells a named method or a keyed item from
        // a positional one; step back to the first token either way.
        const uint32_t following = (t == token::Function || keyable) ? reader.Peek() : token::NoToken;
        if (following != token::NoToken) reader.SwapWithPushedBack();
        if (t == token::Function && following == token::Identifier) {
            reader.Next();
            const Value name = KeepConstant(reader.TokenValue());
            EmitValue(OP_PUSHK, name, itemPosition);
            reader.Next();
            FunctionBody(name.str->Utf16());
        } else if (keyable && following == '=') {
            EmitValue(OP_PUSHK, KeepConstant(reader.TokenValue()), itemPosition);
            reader.Next();
            reader.Next();
            Expression();
        } else {
            Expression();
            if (Failed()) return;
            if (Token() == '=') return reader.RaiseAt(errUnexpectedItem);
            EmitValue(OP_PUSHK, Value::Number(positional++), itemPosition);
            Emit(OP_SWAP, itemPosition);
        }
        ++items;
        if (Token() == ',') reader.Next();
    }
    if (Failed()) return;
    if (Token() != '}') return reader.RaiseAt(errClosingCurlyExpected);
    reader.Next();
    EmitU16(OP_NEWTABLE, items, position);
}

void Compiler::FunctionBody(std::u16string_view name)
{
    FunctionObject* function = ip.NewFunction();
    function->name = name;
    Internals(ip).KeepConstant(Value::Function(function));
    function->locals.Set(ip.MakeString(u"this"), Value::Number(0));
    uint32_t slots = 1;
    if (Token() != '(') return reader.RaiseAt(errUnexpectedItem);
    if (reader.Next() != ')') {
        for (;;) {
            if (Token() != token::Identifier) return reader.RaiseAt(errIdentifierExpected);
            function->locals.Set(reader.TokenValue(), Value::Number(slots++));
            if (reader.Next() != ',') break;
            reader.Next();
        }
    }
    if (Token() != ')') return reader.RaiseAt(errClosingRoundExpected);
    function->slotCount = Value::Number(slots);
    function->parameterCount = static_cast<int>(slots) - 1;
    reader.Next();

    FunctionObject* outerFunction = currentFunction;
    Code* outerCode = code;
    currentFunction = function;
    code = &function->code;
    Label();
    Statements();
    const int32_t endPosition = Here();
    EmitValue(OP_PUSHK, Value::Null(), endPosition);
    Emit(OP_RET, endPosition);
    currentFunction = outerFunction;
    code = outerCode;
    Label();
    if (Failed()) return;
    if (Token() != token::EndKeyword) return reader.RaiseAt(errUnexpectedItem);
    reader.Next();
    const Value value = Value::Function(function);
    Internals(ip).KeepConstant(value);
    EmitValue(OP_PUSHK, value, endPosition);
}

// --- names -----------------------------------------------------------------

uint16_t Compiler::DeclareVariable(const Value& name, bool mustBeNew)
{
    if (currentFunction == nullptr) {
        // Asked first even without mustBeNew: a library loaded later must
        // not replace what the script declares.
        if (ip.HasGlobal(name) && mustBeNew) {
            reader.RaiseAt(errVariableAlreadyDeclared, name.str->Utf16());
            return kGlobalSlot;
        }
        Internals(ip).Globals()->Set(name, Value::Null());
        return kGlobalSlot;
    }
    Value slot;
    if (currentFunction->locals.Find(name, slot)) {
        if (mustBeNew) reader.RaiseAt(errVariableAlreadyDeclared, name.str->Utf16());
        return static_cast<uint16_t>(slot.num);
    }
    const double next = currentFunction->slotCount.num;
    if (next >= kGlobalSlot) {
        reader.RaiseAt(errOutOfMemory);
        return kGlobalSlot;
    }
    currentFunction->locals.Set(name, Value::Number(next));
    currentFunction->slotCount = Value::Number(next + 1);
    return static_cast<uint16_t>(next);
}

uint16_t Compiler::ResolveLocal(const Value& name) const
{
    if (currentFunction == nullptr) return kGlobalSlot;
    Value slot;
    return currentFunction->locals.Find(name, slot) ? static_cast<uint16_t>(slot.num) : kGlobalSlot;
}

void Compiler::EmitLoadName(const Value& name, int32_t position)
{
    const uint16_t slot = ResolveLocal(name);
    if (slot != kGlobalSlot) return EmitU16(OP_GETLOCAL, slot, position);
    if (!ip.HasGlobal(name)) return reader.RaiseAt(errUndeclaredVariable, name.str->Utf16());
    EmitValue(OP_GETGLOBAL, name, position);
}

void Compiler::EmitStore(const Value& name, uint16_t slot, int32_t position)
{
    if (slot == kGlobalSlot) {
        EmitValue(OP_SETGLOBAL, name, position);
    } else {
        EmitU16(OP_SETLOCAL, slot, position);
    }
}

Value Compiler::KeepConstant(const Value& v)
{
    if (v.IsStr()) Internals(ip).KeepConstant(v);
    return v;
}

// --- emission ----------------------------------------------------------------
//
// Emission fuses common sequences into one instruction (see opcodes.h).
// last and beforeLast are the two instructions emitted most recently while
// they may still be fused; a jump target after them makes them unavailable.

size_t Compiler::Label()
{
    last = beforeLast = thirdLast = Emitted{};
    return code->bytes.size();
}

void Compiler::Begin(uint8_t op, int32_t position)
{
    const size_t start = code->bytes.size();
    thirdLast = beforeLast;
    beforeLast = last;
    last = Emitted{start, op, position};
    const SourcePlace place{position, reader.TextId()};
    if (place.text != kNoSourceText && (code->positions.empty() || code->positions.back().place != place)) {
        code->positions.push_back({static_cast<uint32_t>(start), place});
    }
    code->bytes.push_back(op);
}

void Compiler::Rewind(size_t start)
{
    code->bytes.resize(start);
    while (!code->positions.empty() && code->positions.back().pc >= start) code->positions.pop_back();
    while (!code->statements.empty() && code->statements.back().pc > start) code->statements.pop_back();
    last = beforeLast = thirdLast = Emitted{};
}

uint16_t Compiler::OperandU16(size_t at) const
{
    return static_cast<uint16_t>(code->bytes[at] | (code->bytes[at + 1] << 8));
}

Tag Compiler::LastConstantTag() const
{
    return last.op == OP_PUSHK ? static_cast<Tag>(code->bytes[last.start + 1]) : Tag::Binary;
}

void Compiler::Fuse(uint8_t op, int32_t position)
{
    code->bytes[last.start] = op;
    last.op = op;
    // The fused instruction fails where the second one would have.
    last.position = position;
    if (!code->positions.empty() && code->positions.back().pc == last.start) {
        code->positions.back().place.position = position;
    }
}

void Compiler::Emit(uint8_t op, int32_t position)
{
    if (op == OP_GETINDEX && LastConstantTag() == Tag::Str) {
        if (beforeLast.op == OP_GETLOCAL) {
            // A field of a local: one instruction with the slot and the name.
            return ReplaceLoadAndConstant(OP_LOCALFIELD, LoadValueImage(&code->bytes[last.start + 1]), position);
        }
        return Fuse(OP_GETFIELD, position);
    }
    if (op == OP_GETINDEX && last.op == OP_GETLOCAL2) {
        // t[k] on two locals.
        return Fuse(OP_LOCALINDEX, position);
    }
    if (op == OP_GETINDEX && last.op == OP_GETLOCAL && beforeLast.op == OP_GETLOCAL2) {
        // x op t[k]: the pair splits so that the table and key load together.
        const uint16_t x = OperandU16(beforeLast.start + 1), t = OperandU16(beforeLast.start + 3);
        const uint16_t k = OperandU16(last.start + 1);
        const int32_t loadPosition = beforeLast.position;
        Rewind(beforeLast.start);
        Begin(OP_GETLOCAL, loadPosition);
        AppendU16(x);
        Begin(OP_LOCALINDEX, position);
        AppendU16(t);
        AppendU16(k);
        return;
    }
    if ((op == OP_ADD || op == OP_SUB) && LastConstantTag() == Tag::Num) {
        if (beforeLast.op == OP_GETLOCAL) {
            // x + k and x - k on a local (x - k is x + -k exactly).
            const Value k = LoadValueImage(&code->bytes[last.start + 1]);
            return ReplaceLoadAndConstant(OP_LOCALADDK, Value::Number(op == OP_ADD ? k.num : -k.num), position);
        }
        return Fuse(op == OP_ADD ? OP_ADDK : OP_SUBK, position);
    }
    Begin(op, position);
}

void Compiler::ReplaceLoadAndConstant(uint8_t op, const Value& v, int32_t position)
{
    const uint16_t slot = OperandU16(beforeLast.start + 1);
    Rewind(beforeLast.start);
    Begin(op, position);
    AppendU16(slot);
    AppendValue(v);
}

void Compiler::EmitValue(uint8_t op, const Value& v, int32_t position)
{
    Begin(op, position);
    AppendValue(v);
}

void Compiler::AppendValue(const Value& v)
{
    uint8_t image[sizeof(Value)];
    StoreValueImage(image, v);
    code->bytes.insert(code->bytes.end(), image, image + sizeof image);
}

void Compiler::AppendU16(uint32_t n)
{
    code->bytes.push_back(static_cast<uint8_t>(n));
    code->bytes.push_back(static_cast<uint8_t>(n >> 8));
}

void Compiler::EmitU16(uint8_t op, uint32_t n, int32_t position)
{
    if (n > 0xFFFF) {
        reader.RaiseAt(errOutOfMemory);
        return;
    }
    if (op == OP_GETLOCAL && last.op == OP_GETLOCAL) {
        Fuse(OP_GETLOCAL2, position);
    } else if (op == OP_SETLOCAL && FuseStore(n)) {
        return;
    } else {
        Begin(op, position);
    }
    AppendU16(n);
}

bool Compiler::FuseStore(uint32_t slot)
{
    const Emitted arithmetic = last;
    const Emitted load = beforeLast;
    if (arithmetic.op == OP_LOCALADDK && OperandU16(arithmetic.start + 1) == slot) {
        // x = x + k: the same operands, stored in place.
        Fuse(OP_INCLOCAL, arithmetic.position);
        return true;
    }
    if (arithmetic.op >= OP_ADD && arithmetic.op <= OP_DIV && load.op == OP_GETLOCAL2) {
        // x = a op b on three slots, without going through the stack.
        const uint16_t a = OperandU16(load.start + 1), b = OperandU16(load.start + 3);
        Rewind(load.start);
        Begin(static_cast<uint8_t>(OP_LADD + (arithmetic.op - OP_ADD)), arithmetic.position);
        AppendU16(a);
        AppendU16(b);
        AppendU16(slot);
        return true;
    }
    if (arithmetic.op == OP_ADD || arithmetic.op == OP_SUB) {
        Rewind(arithmetic.start);
        Begin(arithmetic.op == OP_ADD ? OP_ADDSL : OP_SUBSL, arithmetic.position);
        AppendU16(slot);
        return true;
    }
    return false;
}

size_t Compiler::EmitJump(uint8_t op, int32_t position)
{
    if (op == OP_JMPF && last.op >= OP_EQ && last.op <= OP_GE && beforeLast.op == OP_PUSHK) {
        // A comparison with a constant: the constant moves into the jump.
        const Value k = LoadValueImage(&code->bytes[beforeLast.start + 1]);
        const Emitted comparison = last;
        Rewind(beforeLast.start);
        Begin(static_cast<uint8_t>(OP_JEQK + (comparison.op - OP_EQ)), comparison.position);
        AppendValue(k);
    } else if (op == OP_JMPF && last.op >= OP_EQ && last.op <= OP_GE && beforeLast.op == OP_GETLOCAL) {
        // A comparison with a local: its slot moves into the jump.
        const uint16_t slot = OperandU16(beforeLast.start + 1);
        const Emitted comparison = last;
        const Emitted left = thirdLast;
        Rewind(beforeLast.start);
        Begin(static_cast<uint8_t>(OP_JEQL + (comparison.op - OP_EQ)), comparison.position);
        AppendU16(slot);
        if (left.op == OP_LOCALINDEX && comparison.op >= OP_LT && left.start + 5 == last.start) {
            // t[k] against the local: the index takes the test's dispatch too.
            code->bytes[left.start] = static_cast<uint8_t>(OP_INDEXJLTL + (comparison.op - OP_LT));
        }
    } else if (op == OP_JMPF && last.op >= OP_EQ && last.op <= OP_GE) {
        Fuse(static_cast<uint8_t>(OP_JEQ + (last.op - OP_EQ)), last.position);
    } else {
        Begin(op, position);
    }
    lastJump = last.start;
    // A jump is never fused with what follows it.
    last = beforeLast = Emitted{};
    const size_t at = code->bytes.size();
    code->bytes.insert(code->bytes.end(), 4, 0);
    return at;
}

void Compiler::PatchJump(size_t at, size_t target)
{
    if (target == code->bytes.size()) Label();
    const auto offset = static_cast<int32_t>(static_cast<int64_t>(target) - static_cast<int64_t>(at + 4));
    std::memcpy(&code->bytes[at], &offset, 4);
}

} // namespace vellum
