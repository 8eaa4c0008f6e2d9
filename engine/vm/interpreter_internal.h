// What the compiler, the reader of source texts and the interpreter loop
// share with the interpreter, and engine tests may look at. Native
// libraries use interpreter.h and class_binding.h only: nothing here is
// theirs to change.
#pragma once

#include "engine/vm/interpreter.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vellum {

struct Code;

class InterpreterInternals {
public:
    explicit InterpreterInternals(Interpreter& ip) : ip(ip) {}

    TableObject* Globals() const { return ip.globals; }
    // Keeps a constant compiled code refers to alive as long as the
    // interpreter. Scripts see it in "__CodeConstants", but a script that
    // empties that table must not free what running code still reads, so
    // the collector also marks a list of its own.
    void KeepConstant(const Value& v)
    {
        ip.codeConstants->Append(v);
        ip.compiledConstants.push_back(v);
    }

    // The keys the engine interns once: the inheritance link, the native
    // object of a table and the method calling a table runs.
    const Value& ParentKey() const { return ip.parentKey; }
    const Value& NativeObjectKey() const { return ip.pObjectKey; }
    const Value& DefaultKey() const { return ip.defaultKey; }

    // Cells in use on the operand stack.
    int StackDepth() const { return static_cast<int>(ip.sp - ip.stack); }

    // Runs bytecode until END or RET (true) or a pending error (false).
    // An execution started from native code ends a quiet Die by clearing it.
    bool Execute(Code& code, bool fromNative) { return ip.Execute(code, fromNative); }

    // Every text code was compiled from (scripts and included files) stays
    // here, so an error can be placed on its line after compilation ended.
    uint32_t KeepSourceText(std::u16string text, std::u16string file = {})
    {
        return ip.KeepSourceText(std::move(text), std::move(file));
    }
    std::u16string_view SourceText(uint32_t id) const { return ip.sourceTexts[id]; }

private:
    Interpreter& ip;
};

inline InterpreterInternals Internals(Interpreter& ip) { return InterpreterInternals(ip); }

} // namespace vellum
