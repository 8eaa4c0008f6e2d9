// The one-pass compiler: reads tokens and writes bytecode, with no syntax
// tree in between. Names are resolved as they are read: locals of the
// function being compiled, else globals that exist at that moment, so
// top-level declarations act on the globals table while compiling.
#pragma once

#include "engine/core/function_object.h"
#include "engine/core/value.h"
#include "engine/lexer/source_reader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vellum {

class Interpreter;

class Compiler {
public:
    // Compiles text into code: one expression, or a sequence of statements
    // that must reach the end of the text. textId names the text in the
    // interpreter's kept texts, for error places. Errors stay pending in ip;
    // the code is then incomplete and must not run. With a scope, names
    // resolve as inside that function's body (a debugger evaluates in a frame).
    static void Compile(Interpreter& ip, std::u16string_view text, uint32_t textId, Code& code,
                        bool expressionMode, std::u16string_view tokenFileName = {},
                        FunctionObject* scope = nullptr);

private:
    static constexpr int kMaxNesting = 2000;

    struct NestingGuard {
        explicit NestingGuard(Compiler& c);
        ~NestingGuard() { --compiler.nesting; }
        Compiler& compiler;
    };

    Compiler(Interpreter& ip, SourceReader& reader, Code& code);

    bool Failed() const;
    uint32_t Token() const { return reader.Token(); }
    int32_t Here() const { return reader.TokenPosition(); }

    void Statements();
    void Statement();
    // Records where the statement about to be compiled starts.
    void MarkStatement();
    void VarStatement();
    void FunctionStatement();
    void ReturnStatement();
    void IfStatement();
    void WhileStatement();
    void ForStatement();
    // The body of a loop up to its `end`, the test again and the exit's
    // target. The test runs from loop to the jump EmitJump made last.
    void LoopBody(size_t loop, size_t exit);
    // Emits the test at the offsets test to testJump again, jumping back to
    // body while it holds, so that each turn of a loop takes one jump.
    void RepeatTest(size_t test, size_t testJump, size_t body);
    void NameStatement();

    void Expression();
    // One binding level of binary operators, and everything tighter.
    void Binary(int level);
    void Unary();
    void Primary();
    enum class ChainEnd { Read, Call, Assignment };
    // Parses chain elements after a primary. In a statement the chain may
    // end in an assignment.
    ChainEnd Chain(bool statement);
    // A method call whose name is a constant string passes it, for
    // CALLMETHODK; the object and the null for this are then on the stack.
    void CallArguments(bool method, int32_t position, const Value& methodName = Value::Null());
    // After the operand of a further `&` that made no call: the joins of a
    // chain become one CONCATN, so the texts in between are never interned.
    // Without calls the operand cannot change what the earlier operands
    // read as, so joining them later gives the same text.
    // Gives the offset of the join that replaces it.
    size_t JoinConcatenation(size_t previousJoin, int32_t position);
    // The cells the join at this offset takes off the stack.
    uint32_t JoinedCells(size_t join) const;
    // A chain joins at most this many texts at once, so that it holds few
    // more stack cells than joining them pairwise would.
    static constexpr uint32_t kMaxJoinedCells = 8;
    void TableConstructor();
    // Compiles parameters and body; the function value is left pushed.
    // name is what a debugger's call stack calls it.
    void FunctionBody(std::u16string_view name = {});

    uint16_t DeclareVariable(const Value& name, bool mustBeNew);
    uint16_t ResolveLocal(const Value& name) const;
    void EmitLoadName(const Value& name, int32_t position);
    void EmitStore(const Value& name, uint16_t slot, int32_t position);
    // A string constant stays alive as long as the interpreter.
    Value KeepConstant(const Value& v);

    static constexpr size_t kNoInstruction = SIZE_MAX;
    struct Emitted {
        size_t start = kNoInstruction;
        uint8_t op = 0xFF;
        int32_t position = -1;
    };
    // The current position as a jump target.
    size_t Label();
    void Begin(uint8_t op, int32_t position);
    // Drops the code from start on, to emit its fused form instead.
    void Rewind(size_t start);
    uint16_t OperandU16(size_t at) const;
    // The tag of the constant the previous instruction pushes, if it is a PUSHK.
    Tag LastConstantTag() const;
    // Turns the last instruction into op in place.
    void Fuse(uint8_t op, int32_t position);
    // Replaces a GETLOCAL and the PUSHK after it with op on the local's slot
    // and the value.
    void ReplaceLoadAndConstant(uint8_t op, const Value& v, int32_t position);
    // Emits a SETLOCAL to slot fused with the arithmetic before it, if it can.
    bool FuseStore(uint32_t slot);
    void AppendValue(const Value& v);
    void AppendU16(uint32_t n);
    void Emit(uint8_t op, int32_t position);
    void EmitValue(uint8_t op, const Value& v, int32_t position);
    void EmitU16(uint8_t op, uint32_t n, int32_t position);
    size_t EmitJump(uint8_t op, int32_t position);
    void PatchJump(size_t at, size_t target);

    Interpreter& ip;
    SourceReader& reader;
    Code* code;
    FunctionObject* currentFunction = nullptr;
    // The last three instructions, newest first, while no jump target or
    // rewind came between them.
    Emitted last, beforeLast, thirdLast;
    // Where the last conditional jump EmitJump made begins.
    size_t lastJump = kNoInstruction;
    // Calls compiled so far; an operand that leaves it unchanged made none.
    uint32_t callsCompiled = 0;
    int nesting = 0;
};

} // namespace vellum
