// Where the interpreter loop reaches an attached debugger: at each
// instruction while the dispatch is diverted for it, and where an error
// becomes pending. Engine-internal; front ends use debugger.h.
#pragma once

#include <atomic>
#include <cstddef>

namespace vellum {

class Debugger;
class Interpreter;
struct Code;
struct Value;

class DebugHooks {
public:
    static bool Attached() { return active.load(std::memory_order_relaxed) != nullptr; }
    // Before the instruction at pc of code, frame being the running
    // function's frame base; true when the front end ended the run (the
    // error errStopped is then pending).
    static bool BeforeInstruction(Interpreter& ip, Code& code, size_t pc, Value* frame);
    // An error is pending at the instruction at pc; shown once per error.
    static void ErrorPending(Interpreter& ip, Code& code, size_t pc, Value* frame);

private:
    friend class Debugger;
    static std::atomic<Debugger*> active;
};

} // namespace vellum
